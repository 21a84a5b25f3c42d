object FileGroupSelectForm: TFileGroupSelectForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Select components to install'
  ClientHeight = 368
  ClientWidth = 470
  Font.Height = -11
  Font.Name = 'Arial'
  Scaled = False
  OnCreate = FormCreate
  OnDestroy = FormDestroy
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
      object TopDescriptionLabel: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 42
        WordWrap = True
        Caption = 'Select the components you want to install, clear the components you do not want to install. Double click on a group to see all of its subgroups.'
        GLID = 28
      end
      object TopSpacer: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 7
        Caption = ''
      end
      object pnlGroups: TPanel
        Align = alTop
        Height = 107
        BevelOuter = bvNone
        BorderStyle = bsSingle
        object pnlIncludeBack: TPanel
          Align = alLeft
          Width = 20
          BevelOuter = bvNone
          object pnlInclude: TPanel
            Align = alClient
            BevelOuter = bvNone
            Color = -2147483643
            object pnIncludeRightDivider: TPanel
              Align = alRight
              Width = 3
              BevelOuter = bvLowered
            end
            object pnlIncludeSpacer: TPanel
              Align = alBottom
              Height = 22
              BevelOuter = bvNone
              Visible = False
            end
          end
        end
        object pnlSizeBack: TPanel
          Align = alRight
          Width = 93
          BevelOuter = bvNone
          object pnlSize: TPanel
            Align = alClient
            BevelOuter = bvNone
            Color = -2147483643
            object pnlSizeRightDivider: TPanel
              Align = alRight
              Width = 3
              BevelOuter = bvLowered
            end
            object pnlSizeSpacer: TPanel
              Align = alBottom
              Height = 22
              BevelOuter = bvNone
              Visible = False
            end
          end
        end
      end
      object pnlGroupDesc: TPanel
        Align = alTop
        Height = 18
        BevelOuter = bvNone
        object GroupDescLabel: TTranslateLabel
          Left = 0
          Top = 3
          Caption = 'Description'
          GLID = 29
          Visible = False
        end
      end
      object pnlDirectory: TPanel
        Align = alBottom
        Height = 42
        BevelOuter = bvNone
        object DirectoryGroupBox: TGroupBox
          Align = alClient
          Caption = 'Destination Directory'
          object DirectoryLabel: TEdit
            Left = 8
            Top = 14
            Width = 209
            Height = 21
            CharCase = ecLowerCase
            OnChange = DirectoryLabelChange
          end
          object BrowseBtn: TTranslateBitBtn
            Left = 226
            Top = 12
            Width = 89
            Height = 25
            Caption = '&Browse...'
            GLID = 48
            OnClick = BrowseBtnClick
          end
        end
      end
      object pnlDriveSpace: TPanel
        Align = alBottom
        Height = 45
        BevelOuter = bvNone
      end
      object pnlDescriptionMemo: TPanel
        Align = alClient
        BevelOuter = bvNone
        object DescriptionMemo: TMemo
          Align = alClient
          ReadOnly = True
          ScrollBars = ssVertical
          TabStop = False
          Visible = False
        end
      end
    end
  end
  object ilDriveSpace: TImageList
    Width = 16
    Height = 16
  end
end
