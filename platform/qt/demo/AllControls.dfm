object DemoForm: TForm
  Left = 40
  Top = 30
  Width = 800
  Height = 600
  Caption = 'Склад: все элементы'
  ClientHeight = 560
  ClientWidth = 792
  Color = clBtnFace
  Font.Charset = RUSSIAN_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Menu = MainMenu1
  PixelsPerInch = 96
  TextHeight = 13
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 792
    Height = 29
    ButtonWidth = 90
    ShowCaptions = True
    TabOrder = 0
    object ToolButton1: TToolButton
      Left = 0
      Top = 2
      Caption = 'Новый склад'
    end
    object ToolButton2: TToolButton
      Left = 90
      Top = 2
      Caption = 'Открыть склад'
    end
  end
  object StatusBar1: TStatusBar
    Left = 0
    Top = 541
    Width = 792
    Height = 19
    Panels = <
      item
        Text = 'Готово'
        Width = 200
      end
      item
        Text = 'Записей: 3'
        Width = 50
      end>
  end
  object Panel1: TPanel
    Left = 0
    Top = 29
    Width = 200
    Height = 512
    Align = alLeft
    Caption = 'Группы'
    TabOrder = 1
    object TreeView1: TTreeView
      Left = 1
      Top = 1
      Width = 198
      Height = 480
      Align = alClient
      Indent = 19
      ReadOnly = True
      TabOrder = 0
    end
    object SpeedButton1: TSpeedButton
      Left = 1
      Top = 484
      Width = 100
      Height = 25
      Align = alBottom
      Caption = 'Переименовать'
    end
  end
  object Splitter1: TSplitter
    Left = 200
    Top = 29
    Width = 6
    Height = 512
  end
  object Panel2: TPanel
    Left = 206
    Top = 29
    Width = 586
    Height = 512
    Align = alClient
    BevelOuter = bvNone
    TabOrder = 2
    object Label1: TLabel
      Left = 12
      Top = 12
      Width = 80
      Height = 13
      Caption = 'Наименование:'
    end
    object Edit1: TEdit
      Left = 110
      Top = 8
      Width = 160
      Height = 21
      TabOrder = 0
      Text = 'Гвозди'
    end
    object ComboBox1: TComboBox
      Left = 290
      Top = 8
      Width = 150
      Height = 21
      Style = csDropDownList
      ItemHeight = 13
      TabOrder = 1
      Items.Strings = (
        'штука'
        'килограмм'
        'метр')
    end
    object Memo1: TMemo
      Left = 12
      Top = 40
      Width = 258
      Height = 70
      Lines.Strings = (
        'Первая строка'
        'Вторая строка')
      TabOrder = 2
    end
    object ListBox1: TListBox
      Left = 290
      Top = 40
      Width = 150
      Height = 70
      ItemHeight = 13
      Items.Strings = (
        'Приход'
        'Заявка'
        'Списание')
      TabOrder = 3
    end
    object GroupBox1: TGroupBox
      Left = 12
      Top = 120
      Width = 258
      Height = 90
      Caption = 'Режим'
      TabOrder = 4
      object RadioButton1: TRadioButton
        Left = 12
        Top = 20
        Width = 200
        Height = 17
        Caption = 'Рабочие документы'
        Checked = True
        TabOrder = 0
        TabStop = True
      end
      object RadioButton2: TRadioButton
        Left = 12
        Top = 42
        Width = 200
        Height = 17
        Caption = 'Архив'
        TabOrder = 1
      end
      object CheckBox1: TCheckBox
        Left = 12
        Top = 64
        Width = 200
        Height = 17
        Caption = 'С НДС'
        Checked = True
        State = cbChecked
        TabOrder = 2
      end
    end
    object Button1: TButton
      Left = 290
      Top = 120
      Width = 100
      Height = 25
      Caption = 'Просмотр'
      Default = True
      TabOrder = 5
    end
    object ProgressBar1: TProgressBar
      Left = 290
      Top = 156
      Width = 150
      Height = 16
      Position = 40
      TabOrder = 6
    end
    object Edit2: TEdit
      Left = 290
      Top = 182
      Width = 60
      Height = 21
      TabOrder = 7
      Text = '5'
    end
    object UpDown1: TUpDown
      Left = 350
      Top = 182
      Width = 16
      Height = 21
      Associate = Edit2
      Position = 5
      TabOrder = 8
    end
    object DateTimePicker1: TDateTimePicker
      Left = 12
      Top = 220
      Width = 120
      Height = 21
      TabOrder = 9
    end
    object MonthCalendar1: TMonthCalendar
      Left = 12
      Top = 250
      Width = 230
      Height = 160
      TabOrder = 10
    end
    object Bevel1: TBevel
      Left = 290
      Top = 215
      Width = 280
      Height = 2
      Shape = bsTopLine
    end
    object PaintBox1: TPaintBox
      Left = 290
      Top = 225
      Width = 60
      Height = 40
    end
    object Image1: TImage
      Left = 360
      Top = 225
      Width = 60
      Height = 40
    end
    object DBGrid1: TDBGrid
      Left = 12
      Top = 418
      Width = 558
      Height = 88
      Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection]
      ReadOnly = True
      TabOrder = 12
      Columns = <
        item
          FieldName = '№'
          Title.Caption = 'Артикул'
          Width = 60
        end
        item
          FieldName = 'Наименование'
          Width = 200
        end
        item
          FieldName = 'Цена'
          Width = 70
        end
        item
          FieldName = 'Поставщик'
          Width = 120
        end>
    end
    object ScrollBox1: TScrollBox
      Left = 290
      Top = 275
      Width = 280
      Height = 135
      TabOrder = 11
    end
  end
  object MainMenu1: TMainMenu
    Left = 400
    Top = 8
    object N27: TMenuItem
      Caption = 'Файл'
      object N13: TMenuItem
        Caption = 'Создать новый склад'
        ShortCut = 16462
      end
      object N4: TMenuItem
        Caption = 'Открыть склад'
        ShortCut = 16463
      end
    end
    object N22: TMenuItem
      Caption = 'Помощь'
      object N24: TMenuItem
        Caption = 'О программе'
      end
    end
  end
  object PopupMenu1: TPopupMenu
    Left = 440
    Top = 8
    object N10: TMenuItem
      Caption = 'Переименовать'
    end
  end
end
