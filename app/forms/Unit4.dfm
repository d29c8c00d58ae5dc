object Form4: TForm4
  Left = 80
  Top = 60
  Width = 900
  Height = 600
  Caption = 'Работа с документами'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  OnClose = FormClose
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object GroupBox2: TGroupBox
    Left = 4
    Top = 0
    Width = 233
    Height = 105
    Caption = 'Отобразить'
    TabOrder = 0
    object RadioButton7: TRadioButton
      Left = 8
      Top = 16
      Width = 217
      Height = 17
      Caption = 'Приход товара'
      TabOrder = 0
      OnClick = RadioButton7Click
    end
    object RadioButton8: TRadioButton
      Left = 8
      Top = 38
      Width = 217
      Height = 17
      Caption = 'Отпуск товара'
      TabOrder = 1
      OnClick = RadioButton8Click
    end
    object RadioButton9: TRadioButton
      Left = 8
      Top = 60
      Width = 217
      Height = 17
      Caption = 'Заявки на отпуск товара'
      TabOrder = 2
      OnClick = RadioButton9Click
    end
    object RadioButton10: TRadioButton
      Left = 8
      Top = 82
      Width = 217
      Height = 17
      Caption = 'Списание по акту'
      TabOrder = 3
      OnClick = RadioButton10Click
    end
  end
  object GroupBox1: TGroupBox
    Left = 244
    Top = 0
    Width = 417
    Height = 105
    Caption = 'Сортировка по заявкам'
    TabOrder = 1
    object RadioButton1: TRadioButton
      Left = 8
      Top = 16
      Width = 185
      Height = 17
      Caption = 'Все заявки'
      TabOrder = 0
      OnClick = RadioButton1Click
    end
    object RadioButton2: TRadioButton
      Left = 8
      Top = 38
      Width = 185
      Height = 17
      Caption = 'Выполненные заявки'
      TabOrder = 1
      OnClick = RadioButton2Click
    end
    object RadioButton3: TRadioButton
      Left = 8
      Top = 60
      Width = 185
      Height = 17
      Caption = 'Не выполненные заявки'
      TabOrder = 2
      OnClick = RadioButton3Click
    end
    object RadioButton4: TRadioButton
      Left = 8
      Top = 82
      Width = 185
      Height = 17
      Caption = 'Частично выполненные заявки'
      TabOrder = 3
      OnClick = RadioButton4Click
    end
    object RadioButton6: TRadioButton
      Left = 208
      Top = 16
      Width = 201
      Height = 17
      Caption = 'Просроченные'
      TabOrder = 4
      OnClick = RadioButton6Click
    end
    object RadioButton5: TRadioButton
      Left = 208
      Top = 38
      Width = 201
      Height = 17
      Caption = 'Сортировка по срочности сдачи'
      TabOrder = 5
      OnClick = RadioButton5Click
    end
  end
  object GroupBox3: TGroupBox
    Left = 244
    Top = 0
    Width = 417
    Height = 105
    Caption = 'Сортировка по дате'
    TabOrder = 2
    Visible = False
    object Label1: TLabel
      Left = 16
      Top = 68
      Width = 7
      Height = 13
      Caption = 'С'
    end
    object Label2: TLabel
      Left = 136
      Top = 68
      Width = 12
      Height = 13
      Caption = 'по'
    end
    object RadioButton11: TRadioButton
      Left = 8
      Top = 16
      Width = 185
      Height = 17
      Caption = 'За весь период'
      TabOrder = 0
      OnClick = RadioButton11Click
    end
    object RadioButton12: TRadioButton
      Left = 8
      Top = 38
      Width = 185
      Height = 17
      Caption = 'Выборочно'
      TabOrder = 1
      OnClick = RadioButton12Click
    end
    object Edit1: TEdit
      Left = 28
      Top = 64
      Width = 81
      Height = 21
      Enabled = False
      TabOrder = 2
    end
    object Button7: TButton
      Left = 110
      Top = 64
      Width = 21
      Height = 21
      Caption = '...'
      Enabled = False
      TabOrder = 3
      OnClick = Button7Click
    end
    object Edit2: TEdit
      Left = 152
      Top = 64
      Width = 81
      Height = 21
      Enabled = False
      TabOrder = 4
    end
    object Button10: TButton
      Left = 234
      Top = 64
      Width = 21
      Height = 21
      Caption = '...'
      Enabled = False
      TabOrder = 5
      OnClick = Button10Click
    end
  end
  object DBGrid1: TDBGrid
    Left = 4
    Top = 144
    Width = 881
    Height = 377
    Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]
    ReadOnly = True
    TabOrder = 4
    OnDblClick = DBGrid1DblClick
    OnTitleClick = DBGrid1TitleClick
    Columns = <
      item
        FieldName = 'ID'
        Width = 40
        Visible = False
      end
      item
        FieldName = 'Дата_создания'
        Title.Caption = 'Дата создания'
        Width = 90
        Visible = True
      end
      item
        FieldName = 'Тип_документа'
        Title.Caption = 'Тип документа'
        Width = 80
        Visible = True
      end
      item
        FieldName = 'Вид_оплаты'
        Title.Caption = 'Вид оплаты'
        Width = 100
        Visible = True
      end
      item
        FieldName = 'Дата_сдачи'
        Title.Caption = 'Дата сдачи'
        Width = 90
        Visible = False
      end
      item
        FieldName = 'Получатель'
        Width = 110
        Visible = False
      end
      item
        FieldName = 'Имя_поставщика'
        Title.Caption = 'Поставщик'
        Width = 110
        Visible = True
      end
      item
        FieldName = 'Через_кого'
        Title.Caption = 'Через кого'
        Width = 100
        Visible = True
      end
      item
        FieldName = 'Отпуск_товара'
        Title.Caption = 'Отпуск товара'
        Width = 100
        Visible = False
      end
      item
        FieldName = 'IDЗаявки'
        Width = 60
        Visible = False
      end
      item
        FieldName = 'Причина'
        Width = 200
        Visible = False
      end
      item
        FieldName = 'Заказчик'
        Width = 110
        Visible = False
      end
      item
        FieldName = '№_заказа'
        Title.Caption = '№ заказа'
        Width = 60
        Visible = True
      end>
  end
  object Button2: TButton
    Left = 4
    Top = 112
    Width = 97
    Height = 25
    Hint = 'Просмотр выделенного документа'
    Caption = 'Просмотр'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 5
    OnClick = Button2Click
  end
  object Button1: TButton
    Left = 104
    Top = 112
    Width = 105
    Height = 25
    Hint = 'Создание нового документа'
    Caption = 'Новый документ'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 6
    OnClick = Button1Click
  end
  object Button5: TButton
    Left = 212
    Top = 112
    Width = 113
    Height = 25
    Hint = 'Добавляет выделенный документ в архив'
    Caption = 'Добавить в архив'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 7
    OnClick = Button5Click
  end
  object Button4: TButton
    Left = 328
    Top = 112
    Width = 89
    Height = 25
    Hint = 'Изменение выделенной заявки'
    Caption = 'Изменить'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 8
    OnClick = Button4Click
  end
  object Button6: TButton
    Left = 420
    Top = 112
    Width = 113
    Height = 25
    Hint = 'Распечатать отчет по выделенной заявке'
    Caption = 'Состояние заказа'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 9
    OnClick = Button6Click
  end
  object Button3: TButton
    Left = 536
    Top = 112
    Width = 209
    Height = 25
    Hint = 'Формирование накладной на отпуск по выделенной заявке'
    Caption = 'Сформировать накладную на отпуск'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 10
    OnClick = Button3Click
  end
  object Button9: TButton
    Left = 4
    Top = 528
    Width = 89
    Height = 25
    Hint = 'Распечатка списка отсортированных в данном окне документов'
    Caption = 'Печать'
    ParentShowHint = False
    ShowHint = True
    TabOrder = 11
    OnClick = Button9Click
  end
  object Button8: TButton
    Left = 796
    Top = 528
    Width = 89
    Height = 25
    Caption = 'Отмена'
    TabOrder = 12
    OnClick = Button8Click
  end
  object MonthCalendar1: TMonthCalendar
    Left = 274
    Top = 88
    Width = 191
    Height = 154
    TabOrder = 3
    Visible = False
    OnClick = MonthCalendar1Click
  end
end
