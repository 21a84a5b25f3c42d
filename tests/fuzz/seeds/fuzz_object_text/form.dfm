object Form1: TForm1
  Caption = 'It''s'#9'tabbed'#13#10#233#1055 +
    'continued'
  Huge = 1e+20
  Small = 1.25e-07
  Color = $8000000F
  S = 0.1s
  C = -12.3456c
  D = 36526.5d
  Flags = [a, b]
  Ref = Frame.Button1
  Lines.Strings = (
    'one'
    (
      1
      2)
    ())
  Entries = <
    item [2]
      A = 1
    end
    item
    end>
  Data = {
    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
    20}
  object Child: TChild [1]
    inline Frame: TFrame
    end
  end
  inherited Old: TOld
    Enabled = False
    Link = nil
  end
end
