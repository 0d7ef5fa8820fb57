object Form1: TForm1
  Left = -8
  Caption = 'Setup '#12502#12523' x'+
    'more'
  Color = $00FF00
  BorderIcons = [biSystemMenu, biMinimize]
  Visible = False
  object Panel1: TPanel
    Font.Name = 'MS UI Gothic'
    Height = 41
  end
end
