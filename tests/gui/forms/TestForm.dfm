object TestForm: TTestForm
  Left = 200
  Top = 107
  BorderIcons = []
  Caption = ' '
  ClientHeight = 383
  ClientWidth = 521
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  Position = poDefault
  WindowState = wsMaximized
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnResize = FormResize
  PixelsPerInch = 96
  TextHeight = 12
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 369
    Height = 137
    BevelOuter = bvNone
    TabOrder = 1
    object Label1: TLabel
      Left = 24
      Top = 8
      Width = 338
      Height = 27
      Caption = 'Corvalen Version 2.20 '
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -27
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
    object Label2: TLabel
      Left = 32
      Top = 48
      Width = 336
      Height = 27
      Caption = 'It''s '#12469'ample' +
        ' text'
    end
    object Button3: TButton
      Left = 240
      Top = 12
      Width = 33
      Height = 25
      Caption = '...'
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -21
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 0
    end
  end
  object Panel2: TPanel
    Left = 0
    Top = 280
    Width = 97
    Height = 65
    BevelOuter = bvNone
    Color = $00FF8000
    TabOrder = 3
    object Image1: TImage
      Left = 8
      Top = 8
      Width = 81
      Height = 49
      Stretch = True
    end
  end
  object Panel4: TPanel
    Left = 120
    Top = 104
    Width = 385
    Height = 241
    BevelOuter = bvNone
    TabOrder = 0
    object Label4: TLabel
      Left = 24
      Top = 12
      Width = 201
      Height = 19
      Caption = 'インストール先フォルダ '
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlue
      Font.Height = -19
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
    object Button1: TButton
      Left = 32
      Top = 108
      Width = 57
      Height = 25
      Caption = 'OK'
      TabOrder = 2
      OnClick = Button1Click
    end
    object Button2: TButton
      Left = 144
      Top = 108
      Width = 57
      Height = 25
      Caption = 'Cancel'
      TabOrder = 0
      OnClick = Button2Click
    end
    object Edit1: TEdit
      Left = 16
      Top = 52
      Width = 281
      Height = 20
      TabOrder = 1
      Text = 'C:\Program Files\Corvalen'
    end
  end
  object Edit2: TEdit
    Left = 8
    Top = 8
    Width = 50
    Height = 20
    TabOrder = 4
  end
  object Panel5: TPanel
    Left = 0
    Top = 355
    Width = 521
    Height = 28
    Align = alBottom
    Alignment = taLeftJustify
    BevelInner = bvLowered
    BevelOuter = bvLowered
    Caption = ' インストール先がよろしければ、ＯＫ ボタンを押して下さい。'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clBlack
    Font.Height = -13
    Font.Name = 'ＭＳ Ｐ明朝'
    Font.Style = [fsBold]
    ParentFont = False
    TabOrder = 2
  end
end
