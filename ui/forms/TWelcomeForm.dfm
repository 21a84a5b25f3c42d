object WelcomeForm: TWelcomeForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Welcome'
  ClientHeight = 368
  ClientWidth = 470
  Font.Height = -11
  Font.Name = 'Arial'
  Scaled = False
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
        Left = 208
        Top = 15
        Width = 75
        Height = 33
        Caption = '< Previous'
        GLID = 4
        OnClick = BackBtnClick
      end
      object ProceedBtn: TTranslateBitBtn
        Left = 288
        Top = 15
        Width = 75
        Height = 33
        Caption = 'Next >'
        GLID = 5
        Default = True
        OnClick = ProceedBtnClick
      end
      object CancelBtn: TTranslateBitBtn
        Left = 368
        Top = 15
        Width = 89
        Height = 33
        Caption = 'Cancel'
        GLID = 6
        Cancel = True
        OnClick = CancelBtnClick
      end
    end
    object TextPanel: TPanel
      Align = alClient
      BevelOuter = bvNone
      BorderWidth = 8
      object Label10: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 30
        WordWrap = True
        Caption = 'This program will install the software on your computer.'
        GLID = 10
      end
      object Spacer1: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 10
        Caption = ''
      end
      object Label11: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 60
        WordWrap = True
        Caption = 'It is strongly recommended that you exit all Windows programs before running this setup. If you need to close any programs, click Cancel to quit the setup and then close the programs.'
        GLID = 11
      end
      object Spacer2: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 10
        Caption = ''
      end
      object Label12: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 30
        WordWrap = True
        Caption = 'Click Next to continue with the installation.'
        GLID = 12
      end
    end
  end
end
