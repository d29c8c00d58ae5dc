object Form6: TForm6
  Left = 300
  Top = 200
  BorderStyle = bsDialog
  Caption = 'Информация о предприятии'
  ClientHeight = 353
  ClientWidth = 425
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 8
    Top = 16
    Width = 80
    Height = 13
    Caption = 'Название'
  end
  object Edit1: TEdit
    Left = 96
    Top = 12
    Width = 321
    Height = 21
    TabOrder = 0
  end
  object Label2: TLabel
    Left = 8
    Top = 42
    Width = 80
    Height = 13
    Caption = 'Адрес'
  end
  object Edit2: TEdit
    Left = 96
    Top = 38
    Width = 321
    Height = 21
    TabOrder = 1
  end
  object Label3: TLabel
    Left = 8
    Top = 68
    Width = 80
    Height = 13
    Caption = 'Р/с'
  end
  object Edit3: TEdit
    Left = 96
    Top = 64
    Width = 321
    Height = 21
    TabOrder = 2
  end
  object Label4: TLabel
    Left = 8
    Top = 94
    Width = 80
    Height = 13
    Caption = 'К/с'
  end
  object Edit4: TEdit
    Left = 96
    Top = 90
    Width = 321
    Height = 21
    TabOrder = 3
  end
  object Label5: TLabel
    Left = 8
    Top = 120
    Width = 80
    Height = 13
    Caption = 'В банке'
  end
  object Edit5: TEdit
    Left = 96
    Top = 116
    Width = 321
    Height = 21
    TabOrder = 4
  end
  object Label6: TLabel
    Left = 8
    Top = 146
    Width = 80
    Height = 13
    Caption = 'БИК'
  end
  object Edit6: TEdit
    Left = 96
    Top = 142
    Width = 321
    Height = 21
    TabOrder = 5
  end
  object Label7: TLabel
    Left = 8
    Top = 172
    Width = 80
    Height = 13
    Caption = 'ИНН'
  end
  object Edit7: TEdit
    Left = 96
    Top = 168
    Width = 321
    Height = 21
    TabOrder = 6
  end
  object Label8: TLabel
    Left = 8
    Top = 198
    Width = 80
    Height = 13
    Caption = 'КПП'
  end
  object Edit8: TEdit
    Left = 96
    Top = 194
    Width = 321
    Height = 21
    TabOrder = 7
  end
  object Label9: TLabel
    Left = 8
    Top = 224
    Width = 80
    Height = 13
    Caption = 'ОКОНХ'
  end
  object Edit9: TEdit
    Left = 96
    Top = 220
    Width = 321
    Height = 21
    TabOrder = 8
  end
  object Label10: TLabel
    Left = 8
    Top = 250
    Width = 80
    Height = 13
    Caption = 'ОКПО'
  end
  object Edit10: TEdit
    Left = 96
    Top = 246
    Width = 321
    Height = 21
    TabOrder = 9
  end
  object Label11: TLabel
    Left = 8
    Top = 276
    Width = 80
    Height = 13
    Caption = 'Тел.'
  end
  object Edit11: TEdit
    Left = 96
    Top = 272
    Width = 321
    Height = 21
    TabOrder = 10
  end
  object Label12: TLabel
    Left = 8
    Top = 302
    Width = 80
    Height = 13
    Caption = 'Директор'
  end
  object Edit12: TEdit
    Left = 96
    Top = 298
    Width = 321
    Height = 21
    TabOrder = 11
  end
  object Button1: TButton
    Left = 248
    Top = 320
    Width = 81
    Height = 25
    Caption = 'OK'
    TabOrder = 12
    OnClick = Button1Click
  end
  object Button2: TButton
    Left = 336
    Top = 320
    Width = 81
    Height = 25
    Caption = 'Отмена'
    TabOrder = 13
    OnClick = Button2Click
  end
end
