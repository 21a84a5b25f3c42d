object SelectFolderForm: TSelectFolderForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Select folder in start menu'
  ClientHeight = 368
  ClientWidth = 470
  Font.Height = -11
  Font.Name = 'Arial'
  Scaled = False
  OnCreate = FormCreate
  OnResize = FormResize
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
      BorderWidth = 8
      object TopDescriptionLabel: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 42
        WordWrap = True
        Caption = 'Setup will add program icons to the Program Folder listed below. You may type a new folder name, or select from the E&xisting Folders list.'
        GLID = 41
      end
      object Label1: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 18
        Caption = ''
      end
      object ProgramFolders: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 16
        Caption = '&Program Folder'
        GLID = 42
        FocusControl = FolderEdit
      end
      object EditPanel: TPanel
        Align = alTop
        Height = 23
        BevelOuter = bvNone
        object FolderEdit: TEdit
          Left = 0
          Top = 0
          Width = 305
          Height = 21
          OnChange = FolderEditChange
        end
      end
      object Label2: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 8
        Caption = ''
      end
      object ExistingFolders: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 16
        Caption = 'E&xisting Folders'
        GLID = 43
        FocusControl = FolderListBox
      end
      object Label3: TTranslateLabel
        Align = alTop
        AutoSize = False
        Height = 8
        Caption = ''
      end
      object Label4: TTranslateLabel
        Align = alBottom
        AutoSize = False
        Height = 8
        Caption = ''
      end
      object FolderListBox: TListBox
        Align = alClient
        ItemHeight = 14
        Sorted = True
        OnClick = FolderListBoxClick
      end
    end
  end
end
