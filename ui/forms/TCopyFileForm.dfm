object CopyFileForm: TCopyFileForm
  Left = 90
  Top = 98
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'Copying installation files'
  ClientHeight = 119
  ClientWidth = 466
  Font.Height = -11
  Font.Name = 'Arial'
  Scaled = False
  object LeftPanel: TPanel
    Align = alLeft
    Width = 56
    BevelOuter = bvNone
    BorderWidth = 10
    object UnZipImage: TImage
      Align = alTop
      Height = 37
      Center = True
    end
    object TransferBitmap: TImage
      Left = 10
      Top = 10
      Width = 37
      Height = 36
      Center = True
      Visible = False
    end
  end
  object RightPanel: TPanel
    Align = alRight
    Width = 97
    BevelOuter = bvNone
    object CancelBtn: TTranslateBitBtn
      Left = 4
      Top = 24
      Width = 89
      Height = 25
      Caption = 'Cancel'
      GLID = 6
      Cancel = True
      OnClick = CancelBtnClick
    end
  end
  object CenterPanel: TPanel
    Align = alClient
    BevelOuter = bvNone
    BorderWidth = 5
    object lblCopyFileHeader: TTranslateLabel
      Align = alTop
      Caption = 'Processing'
      GLID = 14
    end
    object Spacer1: TTranslateLabel
      Align = alTop
      AutoSize = False
      Height = 3
      GLID = 0
    end
    object FilePanel: TPanel
      Align = alTop
      Height = 25
      BevelOuter = bvNone
      object Spacer2: TTranslateLabel
        Align = alLeft
        AutoSize = False
        Width = 10
        GLID = 0
      end
      object Spacer3: TTranslateLabel
        Align = alRight
        AutoSize = False
        Width = 10
        GLID = 0
      end
      object lblCopyingFile: TTranslateLabel
        Align = alClient
        AutoSize = False
        Caption = '---'
        GLID = 0
        Layout = tlCenter
      end
    end
    object Spacer4: TTranslateLabel
      Align = alTop
      AutoSize = False
      Height = 3
      GLID = 0
    end
    object FileProgressPanel: TPanel
      Align = alTop
      Height = 24
      BevelOuter = bvNone
      object Label1: TTranslateLabel
        Left = 0
        Top = 4
        Width = 120
        AutoSize = False
        Alignment = taRightJustify
        Caption = 'File progress'
        GLID = 15
      end
      object ProgressBar1: TProgressBar
        Left = 128
        Top = 2
        Width = 176
        Height = 16
        Min = 0
        Max = 100
      end
    end
    object TotalProgressPanel: TPanel
      Align = alTop
      Height = 24
      BevelOuter = bvNone
      object Label2: TTranslateLabel
        Left = 0
        Top = 4
        Width = 120
        AutoSize = False
        Alignment = taRightJustify
        Caption = 'Total progress'
        GLID = 16
      end
      object ProgressBar2: TProgressBar
        Left = 128
        Top = 2
        Width = 176
        Height = 16
        Min = 0
        Max = 100
      end
    end
  end
end
