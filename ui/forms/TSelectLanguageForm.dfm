object SelectLanguageForm: TSelectLanguageForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Select a language'
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
      BorderWidth = 8
      object GridPanel: TPanel
        Align = alClient
        BevelOuter = bvNone
        BorderWidth = 2
        object LanguageGrid: TStringGrid
          Align = alClient
          ColCount = 2
          RowCount = 1
          DefaultColWidth = 140
          DefaultRowHeight = 48
          FixedCols = 0
          FixedRows = 0
          Options = [goVertLine, goHorzLine, goDrawFocusSelected]
          ScrollBars = ssVertical
          OnClick = LanguageListClick
          OnDrawCell = LanguageGridDrawCell
          OnKeyPress = LanguageListKeyPress
        end
      end
    end
  end
end
