#include "rtl/cmp_TFont.h"

#include "rtl/routines_ClassBuilder.h"

const TEnumInfo FontStyleInfo{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};

const TClassInfo& TFont::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TFont>("TFont", &TPersistent::StaticClass())
          .Int("Charset", [](const TFont& F) { return F.Charset; },
               [](TFont& F, int64_t V) { F.Charset = static_cast<int32_t>(V); F.Changed(); }, 1)
          .Int("Color", [](const TFont& F) { return F.Color; },
               [](TFont& F, int64_t V) { F.Color = static_cast<TColor>(V); F.Changed(); },
               clWindowText)
          .Int("Height", [](const TFont& F) { return F.Height; },
               [](TFont& F, int64_t V) { F.Height = static_cast<int32_t>(V); F.Changed(); }, -11)
          .Str("Name", [](const TFont& F) { return F.Name; },
               [](TFont& F, const std::string& V) { F.Name = V; F.Changed(); }, "MS Sans Serif")
          .Set("Style", FontStyleInfo, [](const TFont& F) { return F.Style; },
               [](TFont& F, int64_t V) { F.Style = static_cast<TFontStyles>(V); F.Changed(); }, 0)
          .Build();
  return Info;
}

namespace {
// A * B / C rounded half away from zero, as the Windows MulDiv rounds.
int32_t MulDivRounded(int32_t A, int32_t B, int32_t C) {
  const int64_t P = static_cast<int64_t>(A) * B;
  const int64_t Q = (P >= 0 ? P + C / 2 : P - C / 2) / C;
  return static_cast<int32_t>(Q);
}
}  // namespace

TFont::TFont() = default;

TFont::~TFont() { ReleaseHandle(); }

void TFont::Assign(const TFont& Source) {
  Name = Source.Name;
  Charset = Source.Charset;
  Color = Source.Color;
  Height = Source.Height;
  Style = Source.Style;
  Changed();
}

int32_t TFont::Size() const { return -MulDivRounded(Height, 72, 96); }

void TFont::SetSize(int32_t Points) {
  Height = -MulDivRounded(Points, 96, 72);
  Changed();
}

void TFont::Changed() {
  ReleaseHandle();
  if (OnChange) OnChange(this);
}
