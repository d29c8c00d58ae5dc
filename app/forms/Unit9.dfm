object Form9: TForm9
  Left = 80
  Top = 60
  Width = 900
  Height = 620
  Caption = 'Формирование отчета'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  OnClick = FormClick
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object GroupBox2: TGroupBox
    Left = 4
    Top = 0
    Width = 249
    Height = 129
    Caption = 'Направленность отчета'
    TabOrder = 0
    OnClick = GroupBox2Click
    object RadioButton1: TRadioButton
      Left = 8
      Top = 18
      Width = 233
      Height = 17
      Caption = 'Состояние склада'
      TabOrder = 0
      OnClick = RadioButton1Click
    end
    object RadioButton2: TRadioButton
      Left = 8
      Top = 40
      Width = 233
      Height = 17
      Caption = 'Оборотная ведомость'
      TabOrder = 1
      OnClick = RadioButton2Click
    end
    object RadioButton7: TRadioButton
      Left = 8
      Top = 62
      Width = 233
      Height = 17
      Caption = 'Дефицит товара'
      TabOrder = 2
      OnClick = RadioButton7Click
    end
    object RadioButton8: TRadioButton
      Left = 8
      Top = 84
      Width = 233
      Height = 17
      Caption = 'Избыток товара'
      TabOrder = 3
      OnClick = RadioButton8Click
    end
    object RadioButton3: TRadioButton
      Left = 8
      Top = 106
      Width = 233
      Height = 17
      Caption = 'Заявка на закупку'
      TabOrder = 4
      OnClick = RadioButton3Click
    end
  end
  object GroupBox1: TGroupBox
    Left = 260
    Top = 0
    Width = 305
    Height = 129
    Caption = 'Период формирования отчета'
    TabOrder = 1
    Visible = False
    OnClick = GroupBox1Click
    object RadioButton4: TRadioButton
      Left = 8
      Top = 18
      Width = 137
      Height = 17
      Caption = 'За весь период'
      TabOrder = 0
      OnClick = RadioButton4Click
    end
    object RadioButton5: TRadioButton
      Left = 8
      Top = 40
      Width = 137
      Height = 17
      Caption = 'Выборочно'
      TabOrder = 1
      OnClick = RadioButton5Click
    end
    object Edit1: TEdit
      Left = 8
      Top = 72
      Width = 97
      Height = 21
      ReadOnly = True
      TabOrder = 2
    end
    object Button1: TButton
      Left = 108
      Top = 72
      Width = 21
      Height = 21
      Caption = '...'
      TabOrder = 3
      OnClick = Button1Click
    end
    object Edit2: TEdit
      Left = 152
      Top = 72
      Width = 97
      Height = 21
      ReadOnly = True
      TabOrder = 4
    end
    object Button5: TButton
      Left = 252
      Top = 72
      Width = 21
      Height = 21
      Caption = '...'
      TabOrder = 5
      OnClick = Button5Click
    end
  end
  object GroupBox3: TGroupBox
    Left = 260
    Top = 0
    Width = 305
    Height = 129
    Caption = 'Фильтры'
    TabOrder = 2
    Visible = False
    object CheckBox1: TCheckBox
      Left = 8
      Top = 20
      Width = 121
      Height = 17
      Caption = 'По поставщикам'
      TabOrder = 0
      OnClick = CheckBox1Click
    end
    object ComboBox1: TComboBox
      Left = 136
      Top = 18
      Width = 161
      Height = 21
      Style = csDropDownList
      ItemHeight = 13
      TabOrder = 1
      Visible = False
      OnSelect = ComboBox1Select
    end
    object CheckBox2: TCheckBox
      Left = 8
      Top = 52
      Width = 121
      Height = 17
      Caption = 'По заказам'
      TabOrder = 2
      OnClick = CheckBox2Click
    end
    object ComboBox2: TComboBox
      Left = 136
      Top = 50
      Width = 161
      Height = 21
      Style = csDropDownList
      ItemHeight = 13
      TabOrder = 3
      Visible = False
      OnSelect = ComboBox2Select
    end
  end
  object TreeView1: TTreeView
    Left = 4
    Top = 136
    Width = 249
    Height = 409
    HideSelection = False
    Indent = 19
    ReadOnly = True
    TabOrder = 3
    OnChange = TreeView1Change
    OnClick = TreeView1Click
  end
  object DBGrid1: TDBGrid
    Left = 260
    Top = 136
    Width = 625
    Height = 373
    Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]
    ReadOnly = True
    TabOrder = 4
    OnCellClick = DBGrid1CellClick
    OnDblClick = DBGrid1DblClick
    OnTitleClick = DBGrid1TitleClick
    Columns = <
      item
        FieldName = '№'
        Title.Caption = 'Артикул'
        Width = 46
        Visible = True
      end
      item
        FieldName = 'Наименование'
        Width = 182
        Visible = True
      end
      item
        FieldName = 'Цвет'
        Width = 79
        Visible = True
      end
      item
        FieldName = 'Единица_измерения'
        Title.Caption = 'Ед. изм.'
        Width = 80
        Visible = True
      end
      item
        FieldName = 'Количество'
        Title.Caption = 'Кол-во'
        Width = 63
        Visible = True
      end
      item
        FieldName = 'Группа'
        Width = 100
        Visible = True
      end
      item
        FieldName = 'V'
        Width = 24
        Visible = True
      end>
  end
  object Button4: TButton
    Left = 260
    Top = 516
    Width = 105
    Height = 25
    Caption = 'Выделить все'
    TabOrder = 5
    OnClick = Button4Click
  end
  object Button6: TButton
    Left = 372
    Top = 516
    Width = 105
    Height = 25
    Caption = 'Снять выделение'
    TabOrder = 6
    OnClick = Button6Click
  end
  object Button7: TButton
    Left = 484
    Top = 516
    Width = 105
    Height = 25
    Caption = 'Выделить группу'
    TabOrder = 7
    OnClick = Button7Click
  end
  object Button2: TButton
    Left = 704
    Top = 552
    Width = 89
    Height = 25
    Caption = 'Печать'
    TabOrder = 8
    OnClick = Button2Click
  end
  object Button3: TButton
    Left = 796
    Top = 552
    Width = 89
    Height = 25
    Caption = 'Отмена'
    TabOrder = 9
    OnClick = Button3Click
  end
  object MonthCalendar1: TMonthCalendar
    Left = 268
    Top = 100
    Width = 191
    Height = 154
    TabOrder = 10
    Visible = False
    OnClick = MonthCalendar1Click
  end
  object MonthCalendar2: TMonthCalendar
    Left = 412
    Top = 100
    Width = 191
    Height = 154
    TabOrder = 11
    Visible = False
    OnClick = MonthCalendar2Click
  end
end
