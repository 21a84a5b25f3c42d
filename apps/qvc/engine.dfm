object Form1: TForm1
  Left = 0
  Top = 0
  Caption = 'Setup'
  ClientWidth = 480
  ClientHeight = 240
end
