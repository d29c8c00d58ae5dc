object Form3: TForm3
  Left = 120
  Top = 80
  Width = 800
  Height = 560
  Caption = 'Приход товара'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object GroupBox1: TGroupBox
    Left = 4
    Top = 0
    Width = 777
    Height = 121
    Caption = 'Данные о документе'
    TabOrder = 0
    object Label1: TLabel
      Left = 8
      Top = 20
      Width = 75
      Height = 13
      Caption = 'Тип документа'
    end
    object ComboBox1: TComboBox
      Left = 96
      Top = 16
      Width = 145
      Height = 21
      Style = csDropDownList
      ItemHeight = 13
      TabOrder = 0
      OnSelect = ComboBox1Select
      Items.Strings = (
        'Накладная'
        'Копия чека')
    end
    object Label8: TLabel
      Left = 8
      Top = 92
      Width = 62
      Height = 13
      Caption = 'Вид оплаты'
    end
    object ComboBox4: TComboBox
      Left = 96
      Top = 88
      Width = 145
      Height = 21
      Style = csDropDownList
      ItemHeight = 13
      TabOrder = 3
      Items.Strings = (
        'Наличный расчет'
        'Безналичный расчет')
    end
    object Label2: TLabel
      Left = 8
      Top = 44
      Width = 58
      Height = 13
      Caption = 'Поставщик'
    end
    object ComboBox2: TComboBox
      Left = 96
      Top = 40
      Width = 225
      Height = 21
      ItemHeight = 13
      TabOrder = 1
      OnChange = ComboBox2Change
    end
    object Button9: TButton
      Left = 324
      Top = 40
      Width = 21
      Height = 21
      Hint = 'Реквизиты поставщика'
      Caption = '->'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 4
      OnClick = Button9Click
    end
    object Label3: TLabel
      Left = 8
      Top = 68
      Width = 59
      Height = 13
      Caption = 'Через кого'
    end
    object ComboBox3: TComboBox
      Left = 96
      Top = 64
      Width = 225
      Height = 21
      ItemHeight = 13
      TabOrder = 2
    end
    object Edit2: TEdit
      Left = 8
      Top = 20
      Width = 761
      Height = 21
      TabOrder = 5
      Visible = False
    end
    object GroupBox2: TGroupBox
      Left = 376
      Top = 10
      Width = 393
      Height = 71
      TabOrder = 6
      object Label6: TLabel
        Left = 8
        Top = 20
        Width = 99
        Height = 13
        Caption = 'Ф.И.О. Заказчика'
      end
      object ComboBox5: TComboBox
        Left = 120
        Top = 16
        Width = 265
        Height = 21
        ItemHeight = 13
        TabOrder = 0
      end
      object Label7: TLabel
        Left = 8
        Top = 44
        Width = 71
        Height = 13
        Caption = '№ документа'
      end
      object ComboBox6: TComboBox
        Left = 120
        Top = 40
        Width = 265
        Height = 21
        ItemHeight = 13
        TabOrder = 1
      end
    end
    object GroupBox3: TGroupBox
      Left = 376
      Top = 10
      Width = 393
      Height = 45
      TabOrder = 7
      Visible = False
      object Label9: TLabel
        Left = 8
        Top = 20
        Width = 120
        Height = 13
        Caption = 'Приходная накладная №'
      end
      object Edit3: TEdit
        Left = 136
        Top = 16
        Width = 89
        Height = 21
        TabOrder = 0
      end
      object Label10: TLabel
        Left = 236
        Top = 20
        Width = 12
        Height = 13
        Caption = 'от'
      end
      object DateTimePicker1: TDateTimePicker
        Left = 256
        Top = 16
        Width = 129
        Height = 21
        TabOrder = 1
      end
    end
    object Label5: TLabel
      Left = 384
      Top = 92
      Width = 61
      Height = 13
      Caption = 'Дата сдачи'
    end
    object DateTimePicker2: TDateTimePicker
      Left = 496
      Top = 88
      Width = 129
      Height = 21
      TabOrder = 8
    end
  end
  object CheckBox1: TCheckBox
    Left = 12
    Top = 128
    Width = 57
    Height = 17
    Caption = 'НДС'
    TabOrder = 1
    OnClick = CheckBox1Click
  end
  object DBGrid1: TDBGrid
    Left = 4
    Top = 152
    Width = 777
    Height = 305
    Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]
    ReadOnly = True
    TabOrder = 2
    OnDblClick = DBGrid1DblClick
    Columns = <
      item
        FieldName = 'Наименование'
        Width = 160
        Visible = True
      end
      item
        FieldName = 'Цвет'
        Width = 64
        Visible = True
      end
      item
        FieldName = 'Размеры'
        Width = 52
        Visible = True
      end
      item
        FieldName = 'Единица_измерения'
        Title.Caption = 'Ед. изм.'
        Width = 60
        Visible = True
      end
      item
        FieldName = 'Цена'
        Width = 55
        Visible = True
      end
      item
        FieldName = 'Количество'
        Title.Caption = 'Кол-во'
        Width = 50
        Visible = True
      end
      item
        FieldName = 'Группа'
        Width = 78
        Visible = True
      end
      item
        FieldName = 'Сумма'
        Width = 64
        Visible = True
      end
      item
        FieldName = 'Ставка'
        Width = 45
        Visible = True
      end
      item
        FieldName = 'Сумма_с_НДС'
        Title.Caption = 'Сумма с НДС'
        Width = 75
        Visible = True
      end
      item
        FieldName = 'Отпущено'
        Width = 60
        Visible = False
      end>
  end
  object Label4: TLabel
    Left = 528
    Top = 464
    Width = 83
    Height = 13
    Caption = 'Итого на сумму'
  end
  object Button1: TButton
    Left = 4
    Top = 460
    Width = 75
    Height = 25
    Caption = 'Добавить'
    TabOrder = 3
    OnClick = Button1Click
  end
  object Button2: TButton
    Left = 84
    Top = 460
    Width = 75
    Height = 25
    Caption = 'Удалить'
    TabOrder = 4
    OnClick = Button2Click
  end
  object Button3: TButton
    Left = 164
    Top = 460
    Width = 75
    Height = 25
    Caption = 'Изменить'
    TabOrder = 5
    OnClick = Button3Click
  end
  object ImportBtn: TButton
    Left = 244
    Top = 460
    Width = 75
    Height = 25
    Caption = 'Импорт'
    TabOrder = 6
    OnClick = ImportBtnClick
  end
  object Button4: TButton
    Left = 4
    Top = 496
    Width = 75
    Height = 25
    Hint = 'Сохранить текущий документ в БД'
    Caption = 'OK'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 7
    OnClick = Button4Click
  end
  object Button7: TButton
    Left = 4
    Top = 496
    Width = 75
    Height = 25
    Hint = 'Сохранить текущий документ в БД'
    Caption = 'OK'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 8
    Visible = False
    OnClick = Button7Click
  end
  object Button8: TButton
    Left = 84
    Top = 496
    Width = 75
    Height = 25
    Caption = 'Печать'
    TabOrder = 9
    Visible = False
    OnClick = Button8Click
  end
  object Button6: TButton
    Left = 704
    Top = 496
    Width = 75
    Height = 25
    Caption = 'Отмена'
    TabOrder = 10
    OnClick = Button6Click
  end
  object Import: TOpenDialog
    Filter = '(*.sklad)|*.sklad'
    Left = 600
    Top = 496
  end
  object ImportQuery: TADOQuery
    Left = 632
    Top = 496
  end
end
