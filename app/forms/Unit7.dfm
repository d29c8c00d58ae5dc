object Form7: TForm7
  Left = 300
  Top = 300
  BorderStyle = bsDialog
  Caption = 'Пароль'
  Width = 249
  Height = 154
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
  object Label1: TLabel
    Left = 8
    Top = 16
    Width = 38
    Height = 13
    Caption = 'Пароль'
  end
  object Edit1: TEdit
    Left = 96
    Top = 12
    Width = 137
    Height = 21
    PasswordChar = '*'
    TabOrder = 0
  end
  object Panel1: TPanel
    Left = 0
    Top = 44
    Width = 241
    Height = 41
    BevelOuter = bvNone
    TabOrder = 1
    object Label2: TLabel
      Left = 8
      Top = 12
      Width = 80
      Height = 13
      Caption = 'Подтверждение'
    end
    object Edit2: TEdit
      Left = 96
      Top = 8
      Width = 137
      Height = 21
      PasswordChar = '*'
      TabOrder = 0
    end
  end
  object Panel2: TPanel
    Left = 0
    Top = 88
    Width = 241
    Height = 33
    BevelOuter = bvNone
    TabOrder = 2
    object Button1: TButton
      Left = 72
      Top = 4
      Width = 75
      Height = 25
      Caption = 'OK'
      Default = True
      TabOrder = 0
      OnClick = Button1Click
    end
    object Button2: TButton
      Left = 156
      Top = 4
      Width = 75
      Height = 25
      Caption = 'Отмена'
      TabOrder = 1
      OnClick = Button2Click
    end
  end
end
