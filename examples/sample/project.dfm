object Form1: TForm1
  Left = 0
  Top = 0
  Caption = 'Quorvane Sample Installation'
  ClientWidth = 640
  ClientHeight = 400
  Color = 8388608
  Font.Color = 16777215
  Font.Height = -16
  Font.Name = 'Arial'
  Position = poScreenCenter
  object TitlePanel: TPanel
    Align = alTop
    Height = 64
    Caption = 'Quorvane Sample'
    Color = 8388608
    Font.Color = 65535
    Font.Height = -32
    Font.Name = 'Arial'
    Font.Style = [fsBold, fsItalic]
    BevelOuter = bvNone
    object SubtitleLabel: TLabel
      Left = 8
      Top = 40
      Width = 300
      Height = 20
      Caption = 'read from the program''s own resource'
      Font.Color = 16777215
      Font.Height = -14
      Font.Name = 'Arial'
      Transparent = True
    end
  end
end
