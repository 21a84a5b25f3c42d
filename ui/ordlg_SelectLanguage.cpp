#include "ui/ordlg_SelectLanguage.h"

#include <cmath>
#include <vector>

#include "controls/cmp_TScreen.h"
#include "model/cmp_TInstallContainer.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Scope.h"
#include "ui/constants_Pictures.h"

namespace {
// The pictures stand on olive, which the cells leave out.
constexpr TColor PictureTransparentColor = 32896;

// A language the page offers: one whose table holds more than one line.
bool Offered(const TLanguage& L) { return L.Strings()->Count() > 1; }
}  // namespace

const TClassInfo& TSelectLanguageForm::StaticClass() {
  using F = TSelectLanguageForm;
  using Handler = void(TPersistent*);
  using Draw = void(TPersistent*, int, int, const RECT&, TGridDrawState);
  static const TClassInfo Info =
      TClassBuilder<F>("TSelectLanguageForm", &TWizardPage::StaticClass())
          .Creatable()
          .Method<Handler>("LanguageListClick", &F::LanguageListClick)
          .Method<void(TPersistent*, char&)>("LanguageListKeyPress", &F::LanguageListKeyPress)
          .Method<Draw>("LanguageGridDrawCell", &F::LanguageGridDrawCell)
          .Method<Handler>("FormCreate", &F::FormCreate)
          .Method<Handler>("FormDestroy", &F::FormDestroy)
          .Build();
  return Info;
}

TSelectLanguageForm::TSelectLanguageForm(TComponent* AOwner)
    : TWizardPage(AOwner, dmBeforeInstall, 0) {}

TSelectLanguageForm::~TSelectLanguageForm() {
  // The form fires OnDestroy from its own destructor, when this part of the
  // object is gone already: the handler runs here instead.
  if (OnDestroy) {
    TNotifyEvent Handler = OnDestroy;
    OnDestroy = TNotifyEvent();
    Handler(this);
  }
}

void TSelectLanguageForm::Loaded() {
  TWizardPage::Loaded();
  FGrid = Part<TStringGrid>("LanguageGrid");
}

void TSelectLanguageForm::FormCreate(TPersistent* Sender) {
  TWizardPage::FormCreate(Sender);
  for (auto& B : FBitmaps) {
    B = std::make_unique<TBitmap>();
    B->LoadFromResourceName(NoLanguagePictureResource);
  }
}

void TSelectLanguageForm::FormDestroy(TPersistent*) {
  for (auto& B : FBitmaps) B.reset();
}

const TBitmap* TSelectLanguageForm::LanguageBitmap(TQrvnLanguage L) const {
  return L >= 0 && L < QrvnLanguageCount ? FBitmaps[static_cast<size_t>(L)].get() : nullptr;
}

bool TSelectLanguageForm::SkipPage() { return !Translator(); }

void TSelectLanguageForm::PreparePage() {
  if (TTranslator* T = Translator()) FillGrid(*T);
  TWizardPage::PreparePage();
}

void TSelectLanguageForm::FillGrid(TTranslator& T) {
  int Count = 0;
  for (const TLanguage* L : T.Languages())
    if (Offered(*L)) ++Count;
  // Rows for the languages, rounded as the design has it (halves to even):
  // 1 language gives 1 row, 4 give 2, 5 give 3.  The grid needs one row
  // even when no table is offered.
  const int Columns = FGrid->ColCount();
  const long Rows = std::lrint(static_cast<double>(Count) / Columns + 0.1);
  FGrid->SetRowCount(std::max(1L, Rows));
  for (int R = 0; R < FGrid->RowCount(); ++R)
    for (int C = 0; C < Columns; ++C) FGrid->SetObjects(C, R, nullptr);

  const TLanguage* Target = T.ResolveLanguage(T.TranslateIntoLanguage());
  int Cell = 0;
  for (TLanguage* L : T.Languages()) {
    if (!Offered(*L)) continue;
    const int C = Cell % Columns, R = Cell / Columns;
    ++Cell;
    auto& Slot = FBitmaps[static_cast<size_t>(L->LanguageIdent)];
    if (!Slot) Slot = std::make_unique<TBitmap>();
    Slot->LoadFromResourceName(LanguageBitmapName(L->LanguageIdent));
    FGrid->SetCells(C, R, LangIdToString(L->LanguageIdent));
    FGrid->SetObjects(C, R, L);
    if (L == Target) {
      FGuard = true;
      TFinally Clear([this] { FGuard = false; });
      FGrid->SetCol(C);
      FGrid->SetRow(R);
    }
  }
  FGrid->Invalidate();
}

void TSelectLanguageForm::LanguageGridDrawCell(TPersistent*, int ACol, int ARow, const RECT& Rect,
                                               TGridDrawState) {
  // A cell that cannot be drawn stays empty: painting must not raise.
  try {
    TCanvas& Canvas = FGrid->Canvas();
    Canvas.FillRect(Rect);
    const auto* L = static_cast<const TLanguage*>(FGrid->Objects(ACol, ARow));
    if (!L) return;
    const TBitmap* B = LanguageBitmap(L->LanguageIdent);
    if (!B || B->Empty()) return;
    const long Offset = std::lrint((Rect.bottom - Rect.top) / 2.0 - B->Height() / 2.0);
    Canvas.DrawTransparent(Rect.left + 2, Rect.top + static_cast<int>(Offset), *B,
                           PictureTransparentColor);
  } catch (...) {
  }
}

void TSelectLanguageForm::LanguageListKeyPress(TPersistent* Sender, char&) {
  LanguageListClick(Sender);
}

void TSelectLanguageForm::LanguageListClick(TPersistent*) {
  TTranslator* T = Translator();
  if (FGuard || !T) return;
  const auto* L = static_cast<const TLanguage*>(FGrid->Objects(FGrid->Col(), FGrid->Row()));
  if (!L) return;
  TScreenCursorScope Busy;
  // The translation lets messages through: a Next pressed meanwhile would
  // leave the page half translated.  The page's controls wait for it.
  std::vector<TControl*> Held;
  for (TControl* C : {static_cast<TControl*>(FGrid), static_cast<TControl*>(BackBtn()),
                      static_cast<TControl*>(ProceedBtn()), static_cast<TControl*>(CancelBtn())})
    if (C && C->Enabled()) {
      C->SetEnabled(false);
      Held.push_back(C);
    }
  TFinally Enable([&Held] {
    for (TControl* C : Held) C->SetEnabled(true);
  });
  T->SetTranslateIntoLanguage(L->LanguageIdent);
  // The dialog components re-translate their forms; then every open kit
  // window, this page among them.
  const std::vector<TInstallContainer*> Containers = InstallContainerList().Data();
  for (TInstallContainer* C : Containers) C->LanguageChanged(L->LanguageIdent);
  KitFormsLanguageChanged();
  // The translation hid and showed the grid; its scroll bar is shown
  // again as the grid needs it.
  ShowScrollBar(FGrid->Handle(), SB_VERT, FALSE);
  FGrid->SetScrollBars(FGrid->ScrollBars());
  if (CancelBtn()) CancelBtn()->Invalidate();
}
