object FrameForm: TFrameForm
  Left = 200
  Top = 107
  AutoScroll = False
  BorderIcons = []
  Caption = ' '
  ClientHeight = 383
  ClientWidth = 521
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
    TabOrder = 0
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
      Caption = 'Corvalen Project 1997-2026 '
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -27
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
    object Label3: TLabel
      Left = 48
      Top = 88
      Width = 204
      Height = 27
      Caption = 'All rights reserved. '
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -27
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
  end
  object Panel2: TPanel
    Left = 0
    Top = 280
    Width = 97
    Height = 65
    BevelOuter = bvNone
    TabOrder = 1
    object Image1: TImage
      Left = 8
      Top = 8
      Width = 81
      Height = 49
      Stretch = True
    end
  end
  object Panel3: TPanel
    Left = 8
    Top = 144
    Width = 281
    Height = 105
    BevelOuter = bvNone
    TabOrder = 2
    object Label4: TLabel
      Left = 0
      Top = 54
      Width = 183
      Height = 29
      Caption = 'Corvalen '
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlue
      Font.Height = -29
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
    object Label5: TLabel
      Left = 24
      Top = 94
      Width = 280
      Height = 29
      Caption = 'セットアップへようこそ '
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlue
      Font.Height = -29
      Font.Name = 'ＭＳ Ｐ明朝'
      Font.Style = [fsBold, fsItalic]
      ParentFont = False
    end
  end
  object Panel4: TPanel
    Left = 120
    Top = 104
    Width = 385
    Height = 241
    BevelOuter = bvNone
    TabOrder = 3
    object Label6: TLabel
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
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 0
      OnClick = Button1Click
    end
    object Button2: TButton
      Left = 144
      Top = 108
      Width = 57
      Height = 25
      Caption = 'Cancel'
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 1
      OnClick = Button2Click
    end
    object Edit1: TEdit
      Left = 16
      Top = 52
      Width = 281
      Height = 20
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clBlack
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 2
      Text = 'C:\Program Files\Corvalen'
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
      TabOrder = 3
      OnClick = Button3Click
    end
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
    TabOrder = 4
  end
end
