// The base of every window of the kit: the pages, the copy and change-disk
// windows.  Each knows the language its texts are in now and translates
// itself (fonts and texts) into the translator's target language, or into a
// language of its own.  The live ones are listed process-wide, so that
// choosing another language re-translates every open window at once.
#pragma once

#include <vector>

#include "controls/cmp_TForm.h"
#include "i18n/cmp_TTranslator.h"

class TInstallContainer;

class TBaseQuorvaneForm : public TForm {
  QV_CLASS()
 public:
  explicit TBaseQuorvaneForm(TComponent* AOwner);
  ~TBaseQuorvaneForm() override;

  bool TranslateFonts = true;
  bool TranslateTexts = true;
  TInstallContainer* Container = nullptr;
  // The language the form's texts are in now.
  TQrvnLanguage CurrentLanguage = qlEnglish;
  bool UseOwnLanguage = false;
  TQrvnLanguage OwnLanguage = qlUser;

  void Loaded() override;
  // The user picked another language.
  virtual void LanguageChanged();
  // Sets the form up each time it is shown; pages override it.
  virtual void PreparePage() {}
  // Fonts and texts into the target language (OwnLanguage with
  // UseOwnLanguage, else the translator's), then lets pending messages run.
  virtual void ApplyLanguage();
};

// The live kit forms, in creation order.
const std::vector<TBaseQuorvaneForm*>& LiveKitForms();
// LanguageChanged on every live kit form (a copy of the list is walked: a
// form may open or close others meanwhile).
void KitFormsLanguageChanged();

// The one rule of translating a window, shared with the dialog components:
// fonts when Fonts, texts from Current when Texts (Current becomes the
// language they are in afterwards), into Own when UseOwn, else into the
// translator's target language.
void ApplyLanguageTo(TComponent& Form, bool Fonts, bool Texts, TQrvnLanguage& Current, bool UseOwn,
                     TQrvnLanguage Own);
