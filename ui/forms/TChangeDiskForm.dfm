object ChangeDiskForm: TChangeDiskForm
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'Setup needs the next disk'
  ClientHeight = 178
  ClientWidth = 413
  Font.Height = -11
  Font.Name = 'Arial'
  Position = poScreenCenter
  Scaled = False
  OnShow = FormShow
  object ThemeBitmap: TImage
    Left = 8
    Top = 8
    Width = 57
    Height = 113
  end
  object PromptDiskLabel: TTranslateLabel
    Left = 72
    Top = 8
    Width = 329
    AutoSize = False
    Height = 16
    Caption = 'Please insert disk number %d'
    GLID = 45
  end
  object Label2: TTranslateLabel
    Left = 72
    Top = 32
    Width = 329
    Height = 41
    AutoSize = False
    WordWrap = True
    Caption = 'If the files on this disk can be found in another location, for example, in another drive, enter its full path or click the Browse button to select its path.'
    GLID = 46
  end
  object Label4: TTranslateLabel
    Left = 72
    Top = 80
    Caption = '&Path:'
    GLID = 47
    FocusControl = PathEdit
  end
  object PathEdit: TEdit
    Left = 72
    Top = 99
    Width = 241
    Height = 21
    ReadOnly = True
    TabStop = True
  end
  object BrowseBtn: TTranslateBitBtn
    Left = 320
    Top = 96
    Width = 81
    Height = 25
    Caption = '&Browse...'
    GLID = 48
    OnClick = BrowseBtnClick
  end
  object Bevel1: TBevel
    Left = 8
    Top = 129
    Width = 397
    Height = 9
    Shape = bsTopLine
  end
  object InstallBtn: TTranslateBitBtn
    Left = 216
    Top = 144
    Width = 89
    Height = 25
    Caption = 'Proceed'
    GLID = 49
    Kind = bkOK
  end
  object CancelBtn: TTranslateBitBtn
    Left = 312
    Top = 144
    Width = 89
    Height = 25
    Caption = 'Cancel'
    GLID = 6
    Cancel = True
    OnClick = CancelBtnClick
  end
end
