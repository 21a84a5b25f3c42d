object ReadmeForm: TReadmeForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Readme information'
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
      object Label8: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 30
        WordWrap = True
        Caption = 'Please read the information below before you install this software on your computer.'
        GLID = 8
      end
      object Information: TRichEdit
        Align = alClient
        ReadOnly = True
        ScrollBars = ssVertical
        TabStop = False
        Lines.Strings = (
          'Thank you for choosing this software.'
          ''
          'This setup copies the program and its files to the folder you choose, adds'
          'its icons to the Start menu and records what it installed, so that the'
          'program can be removed again from the Control Panel.'
          ''
          'Before you continue, close every other program. If a file the setup needs'
          'to replace is in use, you will be asked to restart Windows at the end.'
          ''
          'Further information about this release is given in the program''s own help.')
      end
    end
  end
end
