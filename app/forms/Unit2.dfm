object Form2: TForm2
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Карточка учета товара'
  Width = 474
  Height = 490
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
    Width = 233
    Height = 417
    Caption = 'Область заполнения'
    TabOrder = 0
    object Label11: TLabel
      Left = 8
      Top = 16
      Width = 44
      Height = 13
      Caption = 'Артикул'
    end
    object Art: TComboBox
      Left = 8
      Top = 32
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 0
      OnChange = ArtChange
      OnKeyDown = ComboBox1KeyDown
      OnSelect = ComboBox1Select
    end
    object Label1: TLabel
      Left = 8
      Top = 56
      Width = 76
      Height = 13
      Caption = 'Наименование'
    end
    object ComboBox1: TComboBox
      Left = 8
      Top = 72
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 1
      OnChange = ComboBox1Change
      OnKeyDown = ComboBox1KeyDown
      OnSelect = ComboBox1Select
    end
    object Label2: TLabel
      Left = 8
      Top = 96
      Width = 107
      Height = 13
      Caption = 'Тип/Марка продукта'
    end
    object ComboBox2: TComboBox
      Left = 8
      Top = 112
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 2
      OnChange = ComboBox2Change
      OnKeyDown = ComboBox1KeyDown
      OnSelect = ComboBox2Select
    end
    object Label3: TLabel
      Left = 8
      Top = 136
      Width = 75
      Height = 13
      Caption = 'Цвет продукта'
    end
    object ComboBox3: TComboBox
      Left = 8
      Top = 152
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 3
      OnChange = ComboBox3Change
      OnKeyDown = ComboBox1KeyDown
      OnSelect = ComboBox3Select
    end
    object Label4: TLabel
      Left = 8
      Top = 176
      Width = 95
      Height = 13
      Caption = 'Размеры продукта'
    end
    object ComboBox4: TComboBox
      Left = 8
      Top = 192
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 4
      OnKeyDown = ComboBox1KeyDown
    end
    object Label5: TLabel
      Left = 8
      Top = 216
      Width = 100
      Height = 13
      Caption = 'Единицы измерения'
    end
    object ComboBox5: TComboBox
      Left = 8
      Top = 232
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 5
      OnChange = ComboBox5Change
      OnKeyDown = ComboBox1KeyDown
      OnSelect = ComboBox5Select
    end
    object Label6: TLabel
      Left = 8
      Top = 256
      Width = 83
      Height = 13
      Caption = 'Имя поставщика'
    end
    object ComboBox6: TComboBox
      Left = 8
      Top = 272
      Width = 169
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 6
      OnChange = ComboBox6Change
      OnKeyDown = ComboBox1KeyDown
    end
    object Button9: TButton
      Left = 180
      Top = 272
      Width = 21
      Height = 21
      Hint = 'Реквизиты поставщика'
      Caption = '->'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 7
      OnClick = Button9Click
    end
    object Label7: TLabel
      Left = 8
      Top = 296
      Width = 37
      Height = 13
      Caption = 'Группа'
    end
    object ComboBox7: TComboBox
      Left = 8
      Top = 312
      Width = 193
      Height = 21
      AutoDropDown = True
      ItemHeight = 13
      Sorted = True
      TabOrder = 8
      OnChange = ComboBox7Change
      OnKeyDown = ComboBox1KeyDown
      OnSelect = ComboBox7Select
    end
    object Label8: TLabel
      Left = 8
      Top = 344
      Width = 26
      Height = 13
      Caption = 'Цена'
    end
    object Edit1: TEdit
      Left = 120
      Top = 340
      Width = 81
      Height = 21
      TabOrder = 9
    end
    object Label9: TLabel
      Left = 8
      Top = 368
      Width = 98
      Height = 13
      Caption = 'Минимум на складе'
    end
    object Edit2: TEdit
      Left = 120
      Top = 364
      Width = 81
      Height = 21
      TabOrder = 10
    end
    object Label10: TLabel
      Left = 8
      Top = 392
      Width = 104
      Height = 13
      Caption = 'Максимум на складе'
    end
    object Edit3: TEdit
      Left = 120
      Top = 388
      Width = 81
      Height = 21
      TabOrder = 11
    end
  end
  object GroupBox2: TGroupBox
    Left = 244
    Top = 0
    Width = 217
    Height = 177
    Caption = 'Данные на сегодня'
    TabOrder = 1
    object Label12: TLabel
      Left = 8
      Top = 24
      Width = 56
      Height = 13
      Caption = 'В наличии'
    end
    object Edit7: TEdit
      Left = 104
      Top = 20
      Width = 105
      Height = 21
      ReadOnly = True
      TabOrder = 0
    end
    object Label13: TLabel
      Left = 8
      Top = 54
      Width = 34
      Height = 13
      Caption = 'Сумма'
    end
    object Edit9: TEdit
      Left = 104
      Top = 50
      Width = 105
      Height = 21
      ReadOnly = True
      TabOrder = 1
    end
    object Label14: TLabel
      Left = 8
      Top = 84
      Width = 51
      Height = 13
      Caption = 'В резерве'
    end
    object Edit6: TEdit
      Left = 104
      Top = 80
      Width = 105
      Height = 21
      ReadOnly = True
      TabOrder = 2
    end
    object Label15: TLabel
      Left = 8
      Top = 114
      Width = 55
      Height = 13
      Caption = 'В избытке'
    end
    object Edit4: TEdit
      Left = 104
      Top = 110
      Width = 105
      Height = 21
      ReadOnly = True
      TabOrder = 3
    end
    object Label16: TLabel
      Left = 8
      Top = 144
      Width = 61
      Height = 13
      Caption = 'В дефиците'
    end
    object Edit5: TEdit
      Left = 104
      Top = 140
      Width = 105
      Height = 21
      ReadOnly = True
      TabOrder = 4
    end
  end
  object DBGrid1: TDBGrid
    Left = 244
    Top = 6
    Width = 545
    Height = 411
    Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]
    ReadOnly = True
    TabOrder = 2
    Visible = False
    OnCellClick = DBGrid1CellClick
    Columns = <
      item
        FieldName = '№'
        Title.Caption = 'Артикул'
        Width = 46
        Visible = True
      end
      item
        FieldName = 'Наименование'
        Width = 150
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
        FieldName = 'Количество'
        Title.Caption = 'Кол-во'
        Width = 50
        Visible = True
      end
      item
        FieldName = 'Группа'
        Width = 78
        Visible = True
      end>
  end
  object Button7: TButton
    Left = 8
    Top = 428
    Width = 75
    Height = 25
    Caption = 'OK'
    TabOrder = 3
    OnClick = Button7Click
  end
  object Button3: TButton
    Left = 8
    Top = 428
    Width = 75
    Height = 25
    Caption = 'OK'
    TabOrder = 4
    OnClick = Button3Click
  end
  object Button2: TButton
    Left = 8
    Top = 428
    Width = 75
    Height = 25
    Caption = 'OK'
    TabOrder = 5
    OnClick = Button2Click
  end
  object Button6: TButton
    Left = 160
    Top = 428
    Width = 75
    Height = 25
    Caption = 'Отмена'
    TabOrder = 6
    OnClick = Button6Click
  end
  object Button1: TButton
    Left = 244
    Top = 188
    Width = 217
    Height = 25
    Caption = 'Документы на этот товар'
    TabOrder = 7
    OnClick = Button1Click
  end
  object Button4: TButton
    Left = 244
    Top = 428
    Width = 121
    Height = 25
    Caption = 'Меньше минимума'
    TabOrder = 8
    OnClick = Button4Click
  end
  object Button5: TButton
    Left = 372
    Top = 428
    Width = 121
    Height = 25
    Caption = 'Больше максимума'
    TabOrder = 9
    OnClick = Button5Click
  end
end
