object Form5: TForm5
  Left = 300
  Top = 300
  BorderStyle = bsDialog
  Caption = 'Form5'
  ClientHeight = 50
  ClientWidth = 271
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
  object Edit1: TEdit
    Left = 8
    Top = 16
    Width = 161
    Height = 19
    BevelKind = bkFlat
    BorderStyle = bsNone
    TabOrder = 0
  end
  object Button1: TButton
    Left = 177
    Top = 16
    Width = 89
    Height = 25
    Caption = 'OK'
    TabOrder = 1
    OnClick = Button1Click
  end
  object ComboBox1: TComboBox
    Left = 8
    Top = 16
    Width = 161
    Height = 21
    BevelKind = bkFlat
    ItemHeight = 13
    TabOrder = 2
  end
end
