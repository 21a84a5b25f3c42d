object Main: TTestRoot
  Size = 100000
  Title = 'Main window'#13#10'second line'
  OnClick = ItemClick
  object Backdrop: TTestItem
    Count = 0
    Enabled = False
    Mode = mdSafe
    Style = [stBold, stUnderline]
    Ratio = 1e+20
    Info.Company = 'ACME'
    Info.Notes.Strings = (
      'a'
      'b')
    Lines.Strings = (
      'a'
      ''
      'c')
    Picture.Data = {
      07544269746D61700E000000424D0E0000000000000000000000}
    object Title: TTestItem [0]
      Link = Later
    end
  end
  inherited Backdrop: TTestItem
  end
  object Later: TTestItem
    Size = -1
    Entries = <
      item
        Name = 'x'
        Target = Backdrop
      end
      item [3]
        Value = -70000
      end>
    OnClick = ItemClick
    UniqueID = 3
  end
  object Other: TTestOther
    Item = Later
    Required = nil
  end
end
