object RebootForm: TRebootForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Reboot windows'
  ClientHeight = 368
  ClientWidth = 475
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
      object Label52: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 72
        WordWrap = True
        Caption = 'Several components could not be installed on your system because they were in use. For the installation to proceed, you will need to reboot your computer. If you decide not to reboot now, the software will probably not work until you do reboot.'
        GLID = 52
      end
      object Spacer1: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 12
        Caption = ''
      end
      object RG: TRadioGroup
        Align = alTop
        Height = 73
        Caption = ''
        Items.Strings = (
          'Yes, I would like to reboot windows'
          'No, I would not like to reboot windows')
        ItemIndex = 0
        OnClick = RGClick
      end
    end
  end
end
