object LicenseForm: TLicenseForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Software license agreement'
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
      object Label2: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 22
        WordWrap = True
        Caption = 'Please read the following License Agreement.'
        GLID = 2
      end
      object Label3: TTranslateLabel
        Align = alBottom
        AutoSize = False
        Height = 42
        WordWrap = True
        Caption = 'By clicking on the Next button below, you agree to all terms stated in the License Agreement. You may cancel the installation by clicking on the Cancel button.'
        GLID = 3
        Layout = tlBottom
      end
      object Agreement: TRichEdit
        Align = alClient
        ReadOnly = True
        ScrollBars = ssVertical
        TabStop = False
        Lines.Strings = (
          '{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}\fs17'
          '{\b SOFTWARE LICENSE AGREEMENT}\par\par'
          'This is an agreement between you and the publisher of this software. By installing the software you accept its terms.\par\par'
          '{\b 1. Licence.} You may install and use one copy of the software on one computer at a time.\par\par'
          '{\b 2. Copies.} You may make one copy of the software for backup purposes. You may not rent, lend or sell the software.\par\par'
          '{\b 3. No warranty.} The software is provided "as is", without warranty of any kind. The publisher is not liable for any damages arising from its use.\par\par'
          '{\b 4. Termination.} This licence ends if you do not comply with its terms; you must then remove every copy of the software.\par'
          '}')
      end
    end
  end
end
