object AllControls: TAllControls
  Left = 200
  Top = 120
  Width = 640
  Height = 480
  Caption = 'Все элементы'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Menu = MainMenu1
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object ToolBar1: TToolBar
    Left = 0
    Top = 0
    Width = 632
    Height = 29
    Caption = 'ToolBar1'
    TabOrder = 0
    object ToolButton1: TToolButton
      Left = 0
      Top = 2
      Caption = 'Новый'
      OnClick = Button1Click
    end
  end
  object Panel1: TPanel
    Left = 0
    Top = 29
    Width = 180
    Height = 405
    Align = alLeft
    BevelOuter = bvNone
    TabOrder = 1
    object TreeView1: TTreeView
      Left = 0
      Top = 0
      Width = 180
      Height = 405
      Align = alClient
      HideSelection = False
      Indent = 19
      PopupMenu = PopupMenu1
      ReadOnly = True
      TabOrder = 0
      OnChange = TreeView1Change
    end
  end
  object Splitter1: TSplitter
    Left = 180
    Top = 29
    Width = 6
    Height = 405
  end
  object Panel2: TPanel
    Left = 186
    Top = 29
    Width = 446
    Height = 405
    Align = alClient
    BevelOuter = bvNone
    TabOrder = 2
    object Label1: TLabel
      Left = 8
      Top = 8
      Width = 60
      Height = 13
      Caption = 'Поставщик'
    end
    object Edit1: TEdit
      Left = 8
      Top = 24
      Width = 121
      Height = 21
      TabOrder = 0
      Text = 'Текст'
    end
    object Edit2: TEdit
      Left = 136
      Top = 24
      Width = 121
      Height = 21
      PasswordChar = '*'
      TabOrder = 1
    end
    object ComboBox1: TComboBox
      Left = 8
      Top = 52
      Width = 145
      Height = 21
      Style = csDropDownList
      ItemHeight = 13
      TabOrder = 2
      OnChange = ComboBox1Change
      Items.Strings = (
        'Накладная'
        'Копия чека')
    end
    object CheckBox1: TCheckBox
      Left = 8
      Top = 80
      Width = 97
      Height = 17
      Caption = 'НДС'
      Checked = True
      State = cbChecked
      TabOrder = 3
      OnClick = CheckBox1Click
    end
    object GroupBox1: TGroupBox
      Left = 8
      Top = 104
      Width = 200
      Height = 65
      Caption = 'Отобразить'
      TabOrder = 4
      object RadioButton1: TRadioButton
        Left = 8
        Top = 16
        Width = 113
        Height = 17
        Caption = 'Приход товара'
        Checked = True
        TabOrder = 0
        TabStop = True
      end
      object RadioButton2: TRadioButton
        Left = 8
        Top = 36
        Width = 113
        Height = 17
        Caption = 'Отпуск товара'
        TabOrder = 1
      end
    end
    object Memo1: TMemo
      Left = 216
      Top = 52
      Width = 185
      Height = 89
      Lines.Strings = (
        'Первая строка'
        'Вторая строка')
      TabOrder = 5
    end
    object ListBox1: TListBox
      Left = 216
      Top = 150
      Width = 121
      Height = 60
      ItemHeight = 13
      Items.Strings = (
        'Один'
        'Два')
      TabOrder = 6
    end
    object DateTimePicker1: TDateTimePicker
      Left = 8
      Top = 176
      Width = 186
      Height = 21
      TabOrder = 7
    end
    object MonthCalendar1: TMonthCalendar
      Left = 8
      Top = 204
      Width = 191
      Height = 154
      TabOrder = 8
      Visible = False
    end
    object ProgressBar1: TProgressBar
      Left = 216
      Top = 220
      Width = 150
      Height = 16
      Position = 40
      TabOrder = 9
    end
    object Button1: TButton
      Left = 216
      Top = 250
      Width = 75
      Height = 25
      Hint = 'Добавить товар'
      Caption = 'Добавить'
      Default = True
      ParentShowHint = False
      ShowHint = True
      TabOrder = 10
      OnClick = Button1Click
    end
    object SpeedButton1: TSpeedButton
      Left = 300
      Top = 250
      Width = 23
      Height = 22
      Caption = '+'
    end
  end
  object StatusBar1: TStatusBar
    Left = 0
    Top = 434
    Width = 632
    Height = 19
    Panels = <
      item
        Width = 150
      end
      item
        Width = 50
      end>
  end
  object MainMenu1: TMainMenu
    AutoHotkeys = maManual
    Left = 8
    Top = 400
    object N1: TMenuItem
      Caption = 'Файл'
      object N2: TMenuItem
        Caption = 'Открыть склад'
        ShortCut = 16463
        OnClick = Button1Click
      end
      object N3: TMenuItem
        Caption = 'Закрыть архив'
        Visible = False
        OnClick = Button1Click
      end
    end
  end
  object PopupMenu1: TPopupMenu
    Left = 40
    Top = 400
    object N4: TMenuItem
      Caption = 'Переименовать'
    end
  end
  object OpenDialog1: TOpenDialog
    Filter = 'Файлы баз данных (*.kvb)|*.kvb'
    Left = 72
    Top = 400
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 50
    Left = 104
    Top = 400
  end
end
