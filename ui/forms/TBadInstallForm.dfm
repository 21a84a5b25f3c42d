object BadInstallForm: TBadInstallForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Setup incomplete'
  ClientHeight = 368
  ClientWidth = 470
  Font.Height = -11
  Font.Name = 'Arial'
  Scaled = False
  OnCreate = FormCreate
  object MainPanel: TPanel
    Align = alClient
    BevelOuter = bvNone
    object ButtonPanel: TPanel
      Align = alBottom
      Height = 52
      BevelOuter = bvNone
      object ButtonLine: TBevel
        Align = alTop
        Height = 9
        Shape = bsTopLine
      end
      object BackBtn: TTranslateBitBtn
        Left = 304
        Top = 15
        Width = 75
        Height = 33
        Caption = '< Previous'
        GLID = 4
        OnClick = BackBtnClick
      end
      object ProceedBtn: TTranslateBitBtn
        Left = 384
        Top = 15
        Width = 75
        Height = 33
        Caption = 'Next >'
        GLID = 5
        OnClick = ProceedBtnClick
      end
      object FinishBtn: TTranslateBitBtn
        Left = 384
        Top = 15
        Width = 75
        Height = 33
        Caption = 'Finish'
        GLID = 72
        Default = True
        OnClick = FinishBtnClick
      end
    end
    object SidePanel: TPanel
      Align = alLeft
      Width = 136
      BevelOuter = bvNone
      object ThemeBitmap: TImage
        Align = alClient
        Center = True
      end
    end
    object TextPanel: TPanel
      Align = alClient
      BevelOuter = bvNone
      BorderWidth = 5
      object TopLabel: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 28
        WordWrap = True
        Caption = 'This software has not been properly installed and will not work correctly if you try to use it.'
        GLID = 60
      end
    end
  end
end
