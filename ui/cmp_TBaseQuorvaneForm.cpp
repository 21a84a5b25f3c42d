#include "ui/cmp_TBaseQuorvaneForm.h"

#include <algorithm>

#include "controls/cmp_TApplication.h"
#include "rtl/routines_ClassBuilder.h"

namespace {
std::vector<TBaseQuorvaneForm*>& Live() {
  static std::vector<TBaseQuorvaneForm*> L;
  return L;
}
}  // namespace

const std::vector<TBaseQuorvaneForm*>& LiveKitForms() { return Live(); }

void KitFormsLanguageChanged() {
  const std::vector<TBaseQuorvaneForm*> Forms = Live();
  for (TBaseQuorvaneForm* F : Forms)
    if (std::find(Live().begin(), Live().end(), F) != Live().end()) F->LanguageChanged();
}

void ApplyLanguageTo(TComponent& Form, bool Fonts, bool Texts, TQrvnLanguage& Current, bool UseOwn,
                     TQrvnLanguage Own) {
  if (Fonts) {
    if (UseOwn)
      SetFontsOfFor(Own, &Form);
    else
      SetFontsOf(&Form);
  }
  if (Texts) Current = UseOwn ? TranslateFromInto(Current, Own, &Form) : TranslateFrom(Current, &Form);
  if (Application) Application->ProcessMessages();
}

const TClassInfo& TBaseQuorvaneForm::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TBaseQuorvaneForm>("TBaseQuorvaneForm", &TForm::StaticClass()).Build();
  return Info;
}

TBaseQuorvaneForm::TBaseQuorvaneForm(TComponent* AOwner) : TForm(AOwner) {
  Font()->Charset = 0;  // ANSI
  Live().push_back(this);
}

TBaseQuorvaneForm::~TBaseQuorvaneForm() {
  auto& L = Live();
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
}

void TBaseQuorvaneForm::Loaded() { TForm::Loaded(); }

void TBaseQuorvaneForm::LanguageChanged() { ApplyLanguage(); }

void TBaseQuorvaneForm::ApplyLanguage() {
  ApplyLanguageTo(*this, TranslateFonts, TranslateTexts, CurrentLanguage, UseOwnLanguage, OwnLanguage);
}
