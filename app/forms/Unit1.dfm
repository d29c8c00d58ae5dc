object Form1: TForm1
  Left = 0
  Top = 0
  Width = 1032
  Height = 746
  Caption = 'Склад'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Menu = MainMenu1
  Position = poScreenCenter
  WindowState = wsMaximized
  OnActivate = FormActivate
  OnClose = FormClose
  OnCreate = FormCreate
  OnShow = FormShow
  PixelsPerInch = 96
  TextHeight = 13
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 1024
    Height = 41
    Align = alTop
    BevelOuter = bvNone
    TabOrder = 0
    object Button8: TButton
      Left = 8
      Top = 8
      Width = 97
      Height = 25
      Hint = 'Создать новый склад'
      Caption = 'Новый склад'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 0
      OnClick = Button8Click
    end
    object Button1: TButton
      Left = 112
      Top = 8
      Width = 97
      Height = 25
      Hint = 'Открыть существующий склад'
      Caption = 'Открыть склад'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 1
      OnClick = Button1Click
    end
    object Button7: TButton
      Left = 224
      Top = 8
      Width = 97
      Height = 25
      Hint = 'Работа с документами'
      Caption = 'Работа с док.'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 2
      OnClick = Button7Click
    end
    object Button5: TButton
      Left = 328
      Top = 8
      Width = 97
      Height = 25
      Hint = 'Оформить прихода товара на склад'
      Caption = 'Приход товара'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 3
      OnClick = Button5Click
    end
    object Button6: TButton
      Left = 432
      Top = 8
      Width = 97
      Height = 25
      Hint = 'Оформить заявку на заказ'
      Caption = 'Заявка на заказ'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 4
      OnClick = Button6Click
    end
    object Button10: TButton
      Left = 536
      Top = 8
      Width = 97
      Height = 25
      Hint = 'Добавление артикула товара'
      Caption = 'Артикул'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 5
      Visible = False
      OnClick = Button10Click
    end
    object Button9: TButton
      Left = 640
      Top = 8
      Width = 105
      Height = 25
      Hint = 'Оформить списание по акту'
      Caption = 'Списание по акту'
      ParentShowHint = False
      ShowHint = True
      TabOrder = 6
      Visible = False
      OnClick = Button9Click
    end
  end
  object Panel2: TPanel
    Left = 0
    Top = 41
    Width = 259
    Height = 651
    Align = alLeft
    BevelOuter = bvNone
    TabOrder = 1
    object TreeView1: TTreeView
      Left = 0
      Top = 0
      Width = 259
      Height = 618
      Align = alClient
      HideSelection = False
      Indent = 19
      PopupMenu = PopupMenu1
      ReadOnly = True
      TabOrder = 0
      OnChange = TreeView1Change
      OnMouseDown = TreeView1MouseDown
    end
    object Panel4: TPanel
      Left = 0
      Top = 618
      Width = 259
      Height = 33
      Align = alBottom
      BevelOuter = bvNone
      TabOrder = 1
      object SpeedButton2: TSpeedButton
        Left = 4
        Top = 4
        Width = 73
        Height = 25
        Hint = 'Дбавить погруппу'
        Caption = 'Добавить'
        ParentShowHint = False
        ShowHint = True
        OnClick = SpeedButton2Click
      end
      object SpeedButton3: TSpeedButton
        Left = 80
        Top = 4
        Width = 73
        Height = 25
        Hint = 'Удалить подгруппу'
        Caption = 'Удалить'
        ParentShowHint = False
        ShowHint = True
        OnClick = SpeedButton3Click
      end
      object SpeedButton1: TSpeedButton
        Left = 156
        Top = 4
        Width = 97
        Height = 25
        Hint = 'Переименовать выделенную группу'
        Caption = 'Переименовать'
        ParentShowHint = False
        ShowHint = True
        OnClick = SpeedButton1Click
      end
    end
  end
  object Splitter1: TSplitter
    Left = 259
    Top = 41
    Width = 6
    Height = 651
  end
  object Panel3: TPanel
    Left = 265
    Top = 41
    Width = 759
    Height = 651
    Align = alClient
    BevelOuter = bvNone
    TabOrder = 2
    object DBGrid1: TDBGrid
      Left = 0
      Top = 0
      Width = 759
      Height = 618
      Align = alClient
      DataSource = DataSource1
      Options = [dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit]
      ReadOnly = True
      TabOrder = 0
      Visible = False
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
          FieldName = 'Размеры'
          Width = 52
          Visible = True
        end
        item
          FieldName = 'Единица_измерения'
          Title.Caption = 'Ед. изм.'
          Width = 109
          Visible = True
        end
        item
          FieldName = 'Цена'
          Width = 47
          Visible = True
        end
        item
          FieldName = 'Количество'
          Title.Caption = 'Кол-во'
          Width = 63
          Visible = True
        end
        item
          FieldName = 'Марка'
          Title.Caption = 'Тип/Марка'
          Width = 65
          Visible = True
        end
        item
          FieldName = 'Имя_поставщика'
          Title.Caption = 'Поставщик'
          Width = 86
          Visible = True
        end
        item
          FieldName = 'Группа'
          Width = 78
          Visible = True
        end>
    end
    object Panel5: TPanel
      Left = 0
      Top = 618
      Width = 759
      Height = 33
      Align = alBottom
      BevelOuter = bvNone
      TabOrder = 1
      object Button3: TButton
        Left = 4
        Top = 4
        Width = 89
        Height = 25
        Hint = 'Просмотр уч. карточки товара,двойной клик на строке товара'
        Caption = 'Просмотр'
        ParentShowHint = False
        ShowHint = True
        TabOrder = 0
        OnClick = Button3Click
      end
      object Button2: TButton
        Left = 100
        Top = 4
        Width = 89
        Height = 25
        Hint = 'Добавление уч. карточки в БД'
        Caption = 'Добавить'
        ParentShowHint = False
        ShowHint = True
        TabOrder = 1
        OnClick = Button2Click
      end
      object Button4: TButton
        Left = 196
        Top = 4
        Width = 89
        Height = 25
        Hint = 'Удаление уч. карточки из БД'
        Caption = 'Удалить'
        ParentShowHint = False
        ShowHint = True
        TabOrder = 2
        OnClick = Button4Click
      end
      object Button11: TButton
        Left = 292
        Top = 4
        Width = 89
        Height = 25
        Hint = 'Перемещение уч. карточки в другую группу'
        Caption = 'Переместить'
        ParentShowHint = False
        ShowHint = True
        TabOrder = 3
        OnClick = Button11Click
      end
    end
  end
  object MainMenu1: TMainMenu
    AutoHotkeys = maManual
    Left = 296
    Top = 88
    object N27: TMenuItem
      Caption = 'Файл'
      object N13: TMenuItem
        Caption = 'Создать новый склад'
        ShortCut = 16462
        OnClick = N13Click
      end
      object N4: TMenuItem
        Caption = 'Открыть склад'
        ShortCut = 16463
        OnClick = N4Click
      end
      object N19: TMenuItem
        Caption = 'Закрыть архив'
        Visible = False
        OnClick = N19Click
      end
      object N1: TMenuItem
        Caption = 'Импорт данных в заявку на заказ'
        Visible = False
        OnClick = N1Click
      end
    end
    object N15: TMenuItem
      Caption = 'Настройки'
      object N14: TMenuItem
        Caption = 'Информация (реквизиты)'
        ShortCut = 16457
        OnClick = N14Click
      end
      object N26: TMenuItem
        Caption = 'Графа "Наименование"'
        OnClick = N26Click
      end
      object N20: TMenuItem
        Caption = 'НДС'
        OnClick = N20Click
      end
      object N16: TMenuItem
        Caption = 'Изменить пароль'
        OnClick = N16Click
      end
    end
    object N28: TMenuItem
      Caption = 'Документы'
      object N25: TMenuItem
        Caption = 'Работа с документами'
        OnClick = N25Click
      end
      object N6: TMenuItem
        Caption = 'Новый приход товара'
        OnClick = N6Click
      end
      object N12: TMenuItem
        Caption = 'Списание по акту'
        OnClick = N12Click
      end
      object N8: TMenuItem
        Caption = 'Создать заявку на заказ'
        OnClick = N8Click
      end
      object N18: TMenuItem
        Caption = 'Открыть архив'
        OnClick = N18Click
      end
      object N17: TMenuItem
        Caption = 'Экспорт в архив'
        ShortCut = 16430
        OnClick = N17Click
      end
    end
    object N9: TMenuItem
      Caption = 'Отчеты'
      object N21: TMenuItem
        Caption = 'Сформировать отчет'
        OnClick = N21Click
      end
    end
    object N22: TMenuItem
      Caption = 'Помощь'
      object N23: TMenuItem
        Caption = 'Файл справки'
        OnClick = N23Click
      end
      object N24: TMenuItem
        Caption = 'О программе'
        OnClick = N24Click
      end
    end
  end
  object PopupMenu1: TPopupMenu
    Left = 328
    Top = 88
    object N10: TMenuItem
      Caption = 'Переименовать'
      OnClick = N10Click
    end
    object N2: TMenuItem
      Caption = 'Добавить подгруппу'
      OnClick = N2Click
    end
    object N3: TMenuItem
      Caption = 'Удалить группу'
      OnClick = N3Click
    end
  end
  object ADOConnection1: TADOConnection
    LoginPrompt = False
    Mode = cmReadWrite
    Provider = 'Microsoft.Jet.OLEDB.4.0'
    Left = 296
    Top = 128
  end
  object ADOQuery1: TADOQuery
    Connection = ADOConnection1
    Left = 336
    Top = 128
  end
  object ADOQuery2: TADOQuery
    Connection = ADOConnection1
    Left = 368
    Top = 128
  end
  object ADOQuery3: TADOQuery
    Connection = ADOConnection1
    Left = 400
    Top = 128
  end
  object ADOQuery4: TADOQuery
    Connection = ADOConnection1
    Left = 432
    Top = 128
  end
  object ADOQuery5: TADOQuery
    Connection = ADOConnection1
    Left = 464
    Top = 128
  end
  object ADOQuery6: TADOQuery
    Connection = ADOConnection1
    Left = 496
    Top = 128
  end
  object ADOQuery7: TADOQuery
    Connection = ADOConnection1
    Left = 528
    Top = 128
  end
  object ADOQuery8: TADOQuery
    Connection = ADOConnection1
    Left = 560
    Top = 128
  end
  object ADOQuery9: TADOQuery
    Connection = ADOConnection1
    Left = 592
    Top = 128
  end
  object ADOQuery14: TADOQuery
    Connection = ADOConnection1
    Left = 624
    Top = 128
  end
  object ADOQuery15: TADOQuery
    Connection = ADOConnection1
    Left = 656
    Top = 128
  end
  object ImportQuery: TADOQuery
    Connection = ADOConnection1
    Left = 688
    Top = 128
  end
  object DataSource1: TDataSource
    DataSet = ADOQuery1
    Left = 336
    Top = 160
  end
  object DataSource2: TDataSource
    DataSet = ADOQuery4
    Left = 368
    Top = 160
  end
  object DataSource3: TDataSource
    DataSet = ADOQuery5
    Left = 400
    Top = 160
  end
  object DataSource4: TDataSource
    DataSet = ADOQuery6
    Left = 432
    Top = 160
  end
  object DataSource5: TDataSource
    DataSet = ADOQuery15
    Left = 464
    Top = 160
  end
  object OpenDialog1: TOpenDialog
    Filter = 'Файлы баз данных (*.kvb)|*.kvb'
    Left = 296
    Top = 160
  end
  object OpenDialog: TOpenDialog
    Filter = '(*.sklad)|*.sklad'
    Left = 264
    Top = 160
  end
end
