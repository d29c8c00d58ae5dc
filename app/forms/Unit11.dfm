object Form11: TForm11
  Left = 300
  Top = 250
  BorderStyle = bsDialog
  Caption = 'Предупреждение'
  ClientHeight = 97
  ClientWidth = 377
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  Position = poMainFormCenter
  PixelsPerInch = 96
  TextHeight = 13
  object Label2: TLabel
    Left = 16
    Top = 12
    Width = 250
    Height = 13
    Caption = 'Все введенные данные будут безвозвратно утеряны.'
  end
  object Label1: TLabel
    Left = 16
    Top = 32
    Width = 345
    Height = 13
    Caption = 'Вы действительно хотите выйти из режима создания документа ?'
  end
  object Button1: TButton
    Left = 104
    Top = 60
    Width = 75
    Height = 25
    Caption = 'Да'
    TabOrder = 0
    OnClick = Button1Click
  end
  object Button2: TButton
    Left = 196
    Top = 60
    Width = 75
    Height = 25
    Caption = 'Нет'
    TabOrder = 1
    OnClick = Button2Click
  end
end
