object Form8: TForm8
  Left = 300
  Top = 250
  BorderStyle = bsDialog
  Caption = 'Очистка базы документов'
  ClientHeight = 137
  ClientWidth = 401
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
  object Label4: TLabel
    Left = 16
    Top = 16
    Width = 7
    Height = 13
    Caption = 'C'
  end
  object Date1: TDateTimePicker
    Left = 32
    Top = 12
    Width = 121
    Height = 21
    TabOrder = 0
  end
  object Label5: TLabel
    Left = 176
    Top = 16
    Width = 12
    Height = 13
    Caption = 'по'
  end
  object Date2: TDateTimePicker
    Left = 200
    Top = 12
    Width = 121
    Height = 21
    TabOrder = 1
  end
  object Label1: TLabel
    Left = 16
    Top = 48
    Width = 369
    Height = 13
    Caption = 'После нажатия кнопки OK все документы (кроме невыполненых '
  end
  object Label2: TLabel
    Left = 16
    Top = 64
    Width = 369
    Height = 13
    Caption = 'заявок на заказ) , попавшие в эти временные рамки , экспортируются  '
  end
  object Label3: TLabel
    Left = 16
    Top = 80
    Width = 43
    Height = 13
    Caption = 'в архив '
  end
  object Button2: TButton
    Left = 224
    Top = 104
    Width = 81
    Height = 25
    Caption = 'OK'
    TabOrder = 2
    OnClick = Button2Click
  end
  object Button3: TButton
    Left = 312
    Top = 104
    Width = 81
    Height = 25
    Caption = 'Отмена'
    TabOrder = 3
    OnClick = Button3Click
  end
end
