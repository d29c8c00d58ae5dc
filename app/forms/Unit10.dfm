object Form10: TForm10
  Left = 300
  Top = 250
  BorderStyle = bsDialog
  Caption = 'О программе'
  ClientHeight = 145
  ClientWidth = 329
  Color = clTeal
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 24
    Top = 32
    Width = 281
    Height = 37
    Caption = 'Korvel Склад 1.0 '
    Font.Charset = RUSSIAN_CHARSET
    Font.Color = clWhite
    Font.Height = -32
    Font.Name = 'Times New Roman'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object Button1: TButton
    Left = 124
    Top = 104
    Width = 81
    Height = 25
    Caption = 'Закрыть'
    TabOrder = 0
    OnClick = Button1Click
  end
end
