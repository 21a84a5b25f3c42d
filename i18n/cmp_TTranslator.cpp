#include "i18n/cmp_TTranslator.h"

#include <iterator>

#include "i18n/routines_Locale.h"
#include "rtl/cmp_TCollection.h"
#include "rtl/cmp_TFileStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Scope.h"
#include "rtl/routines_Strings.h"

const TEnumInfo QrvnLanguageInfo{
    "TQrvnLanguage",
    {"qlChineseSimplified", "qlCzech", "qlDanish", "qlEnglish", "qlFrench", "qlGerman", "qlGreek",
     "qlHebrew", "qlItalian", "qlJapanese", "qlKorean", "qlPolish", "qlPortugese", "qlRussian",
     "qlSpanish", "qlUser", "qlVietnamese"}};

namespace {

// --- language identities -------------------------------------------------------

struct TIdentityRow {
  const char* Bitmap;  // after "BM_LANG_"
  int Charset;
  const char* Face;    // in the language's own code page; empty: none
  int MinSize;
  int PrimaryLanguage;  // Windows primary language id; 0 for none
};

// Indexed by TQrvnLanguage; the qlUser row is never used.
const TIdentityRow IdentityRows[QrvnLanguageCount] = {
    {"SIMPCHINESE", 134, "\xB7\x73\xB2\xD3\xA9\xFA\xC5", 9, 0x04},
    {"CZECH", 238, "Arial", 8, 0x05},
    {"DANISH", 0, "Arial", 8, 0x06},
    {"ENGLISH", 0, "Arial", 8, 0},
    {"FRENCH", 0, "Arial", 8, 0x0C},
    {"GERMAN", 0, "MS Sans Serif", 8, 0x07},
    // Greek letters come with the Greek character set; Arial has them (no
    // Windows carries a face named "SGreek").
    {"GREEK", 161, "Arial", 8, 0x08},
    // Arial carries the Hebrew letters on every Windows, Hebrew ones too.
    {"HEBREW", 177, "Arial", 8, 0x0D},
    {"ITALIAN", 0, "Arial", 8, 0x10},
    // "MS PGothic" in full-width Shift-JIS letters.
    {"JAPANESE", 128, "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E", 9, 0x11},
    // "Batang" in the Korean code page.
    {"KOREAN", 129, "\xB9\xD9\xC5\xC1", 9, 0x12},
    {"POLISH", 238, "Arial", 8, 0x15},
    // Portuguese is written in the Western character set (not the Central
    // European one, which has no a with tilde).
    {"PORTUGESE", 0, "Arial", 8, 0x16},
    {"RUSSIAN", 204, "Arial", 8, 0x19},
    {"SPANISH", 0, "Arial", 8, 0x0A},
    {nullptr, 0, nullptr, 0, 0},  // qlUser
    {"VIETNAMESE", 163, "Arial", 8, 0x2A},
};

const TIdentityRow& Row(TQrvnLanguage L) {
  if (L < 0 || L >= QrvnLanguageCount || L == qlUser) throw IException("Unrecognized language");
  return IdentityRows[L];
}

// The enumerator without its "ql".
std::string PlainName(TQrvnLanguage L) { return QrvnLanguageInfo.Names[L].substr(2); }

// --- reading a table -------------------------------------------------------------

const char* const BadLineMessage = "The %d'th string (%s) does not have the proper format of GLID;Text";
const char* const BadIdMessage =
    "The %d'th string (%s) does not have the proper format of GLID;Text or .GLID;";

// The id a line starts with: Head is the part before its first ";" (without
// the "#" of a memo start).
int32_t ReadGLID(const std::string& Head, int Index, const std::string& Line) {
  if (Head.empty()) throw IException(BadLineMessage, Index, Line);
  int32_t GLID = 0;
  if (!TryStrToInt(Head, GLID)) throw IException(BadIdMessage, Index, Line);
  return GLID;
}

TTranslatorControlHooks GHooks;
TTranslator* GTranslator = nullptr;

// The font of a control: its published "Font".
TFont* FontOf(TComponent* C) {
  const TPropInfo* P = C->ClassInfo().FindProp("Font");
  return P && P->Kind == TPropKind::Object ? dynamic_cast<TFont*>(P->GetObj(*C)) : nullptr;
}

// TranslateIntoLanguage for the time of one call, without announcing it: the
// user's choice has not changed.
class TTemporaryTarget {
 public:
  TTemporaryTarget(TQrvnLanguage& Field, TQrvnLanguage Value) : FField(Field), FOld(Field) {
    Field = Value;
  }
  ~TTemporaryTarget() { FField = FOld; }

 private:
  TQrvnLanguage& FField;
  TQrvnLanguage FOld;
};

// Texts that are not string properties: the lines of a memo and the items of
// lists, by the class that holds them (and every class derived from it).
enum TListKind { lkLines, lkItems, lkCaptions };
struct TListRule {
  const char* ClassName;
  const char* Property;
  TListKind Kind;
};
const TListRule ListRules[] = {
    {"TCustomMemo", "Lines", lkLines},          {"TCustomListBox", "Items", lkItems},
    {"TCustomComboBox", "Items", lkItems},      {"TCustomRadioGroup", "Items", lkItems},
    {"TCustomListView", "Columns", lkCaptions},
};

const TListRule* ListRuleOf(const TClassInfo& Class) {
  for (const TClassInfo* C = &Class; C; C = C->Parent)
    for (const TListRule& R : ListRules)
      if (C->ClassName == R.ClassName) return &R;
  return nullptr;
}

}  // namespace

std::string LanguageBitmapName(TQrvnLanguage L) { return std::string("BM_LANG_") + Row(L).Bitmap; }
std::string LanguageTextFileName(TQrvnLanguage L) {
  Row(L);
  return "qrvi" + PlainName(L) + ".txt";
}
int LanguageCharset(TQrvnLanguage L) { return Row(L).Charset; }
std::string LanguageFontFace(TQrvnLanguage L) { return Row(L).Face; }
int LanguageMinFontSize(TQrvnLanguage L) { return Row(L).MinSize; }

TQrvnLanguage LanguageOfLangId(int LangId) {
  const int Primary = LangId & 0x3FF;
  for (int L = 0; L < QrvnLanguageCount; ++L)
    if (IdentityRows[L].PrimaryLanguage != 0 && IdentityRows[L].PrimaryLanguage == Primary)
      return static_cast<TQrvnLanguage>(L);
  return qlEnglish;
}

bool UserDefaultQrvnLanguage(TQrvnLanguage& L) {
  int Id = 0;
  if (!UserDefaultLangId(Id)) return false;
  L = LanguageOfLangId(Id);
  return true;
}

std::string LangIdToString(TQrvnLanguage L) {
  if (L == qlUser) {
    TQrvnLanguage User;
    return UserDefaultQrvnLanguage(User) ? PlainName(User) : std::string();
  }
  if (L < 0 || L >= QrvnLanguageCount) return std::string();
  return PlainName(L);
}

// --- TLangFormatStrings ----------------------------------------------------------

const TClassInfo& TLangFormatStrings::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TLangFormatStrings>("TLangFormatStrings", &TStrings::StaticClass()).Build();
  return Info;
}

void TLangFormatStrings::Changed() {
  TStringList::Changed();
  if (FLanguage && FLanguage->AutoParse) FLanguage->Parse();
}

void TLangFormatStrings::Quietly(const std::function<void()>& Change) {
  const bool Old = FLanguage->AutoParse;
  FLanguage->AutoParse = false;
  TFinally Restore([&] { FLanguage->AutoParse = Old; });
  Change();
}

void TLangFormatStrings::Delete(int Index) {
  Quietly([&] { TStringList::Delete(Index); });
  FLanguage->LineDeleted(Index);
}

void TLangFormatStrings::Assign(const TStrings& Source) {
  Quietly([&] { TStringList::Assign(Source); });
  FLanguage->Parse();
}

void TLangFormatStrings::SetTextOnce(const std::string& Text) {
  Quietly([&] { SetText(Text); });
  FLanguage->Parse();
}

void TLangFormatStrings::LoadFromStream(TStream& Stream) {
  std::string Bytes;
  char Buffer[4096];
  for (size_t N; (N = Stream.Read(Buffer, sizeof Buffer)) > 0;) Bytes.append(Buffer, N);
  SetTextOnce(Bytes);
}

void TLangFormatStrings::LoadFromFile(const std::string& FileName) {
  TFileStream F(FileName, TFileMode::fmOpenRead);
  LoadFromStream(F);
}

// --- TLanguage ----------------------------------------------------------------------

const TClassInfo& TLanguage::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TLanguage>("TLanguage", &TPersistent::StaticClass())
          .Object("Font", &TLanguage::Font)
          .Bool("FontOverride", &TLanguage::FontOverride, false)
          .Enum("LanguageIdent", QrvnLanguageInfo, &TLanguage::LanguageIdent)
          .NoDefault()
          .StoredIf([](const TLanguage& L) { return L.LanguageIdent != L.Identity(); })
          .Object("Strings", &TLanguage::Strings)
          .Build();
  return Info;
}

TLanguage::TLanguage(TTranslator* ATranslator, TQrvnLanguage AIdent)
    : LanguageIdent(AIdent),
      FTranslator(ATranslator),
      FIdentity(AIdent),
      FFont(std::make_unique<TFont>()),
      FStrings(std::make_unique<TLangFormatStrings>(this)) {}

TLanguage::~TLanguage() = default;

std::string TLanguage::BitmapName() const {
  return LanguageIdent == qlUser ? std::string() : LanguageBitmapName(LanguageIdent);
}

std::string TLanguage::TextFileName() const {
  return LanguageIdent == qlUser ? std::string() : LanguageTextFileName(LanguageIdent);
}

void TLanguage::Discard() {
  FStringEntries.clear();
  FMemoEntries.clear();
  FOpenBlock = -1;
}

void TLanguage::Parse() {
  Discard();
  FParseFailed = true;
  std::vector<std::unique_ptr<TLanguageString>> Strings;
  std::vector<std::unique_ptr<TLanguageMemo>> Memos;
  bool InBlock = false;
  int32_t BlockGLID = 0, BlockStart = 0;
  TStringList BlockLines;
  for (int i = 0; i < FStrings->Count(); ++i) {
    const std::string Line = Trim(FStrings->Strings(i));
    if (Line.empty()) continue;
    if (Line == "#") {
      if (!InBlock)
        throw IException("Found the end of memo marker # at line %d. Was not in a memo however", i);
      auto M = std::make_unique<TLanguageMemo>(BlockGLID, this, BlockStart, i);
      M->Lines.Assign(BlockLines);
      Memos.push_back(std::move(M));
      InBlock = false;
      continue;
    }
    if (Line[0] == '*') continue;
    if (InBlock) {
      BlockLines.Add(Line);
      continue;
    }
    const size_t Semi = Line.find(';');
    const std::string Head = Line.substr(0, Semi);
    if (Line[0] == '#') {
      BlockGLID = ReadGLID(Head.substr(1), i, Line);
      BlockStart = i;
      BlockLines.Clear();
      InBlock = true;
      continue;
    }
    const int32_t GLID = ReadGLID(Head, i, Line);
    std::string Text;
    if (Semi != std::string::npos) {
      const size_t End = Line.find(';', Semi + 1);
      Text = Line.substr(Semi + 1, End == std::string::npos ? std::string::npos : End - Semi - 1);
    }
    if (Trim(Text).empty()) throw IException(BadLineMessage, i, Line);
    Strings.push_back(std::make_unique<TLanguageString>(GLID, this, i, Text));
  }
  // A block that never ends is dropped.
  FStringEntries = std::move(Strings);
  FMemoEntries = std::move(Memos);
  FOpenBlock = InBlock ? BlockStart : -1;
  FParseFailed = false;
}

void TLanguage::LineDeleted(int Index) {
  // A line that belonged to a memo block, or a table that stopped at an
  // error, changes more than the line itself: read it again.
  bool Reread = FParseFailed || (FOpenBlock >= 0 && Index >= FOpenBlock);
  for (const auto& M : FMemoEntries)
    if (Index >= M->Line && Index <= M->EndLine) Reread = true;
  if (Reread && AutoParse) {
    Parse();
    return;
  }
  // Otherwise the entry of that line goes, and the lines below move up.
  for (auto It = FStringEntries.begin(); It != FStringEntries.end();)
    It = (*It)->Line == Index ? FStringEntries.erase(It) : std::next(It);
  for (const auto& S : FStringEntries)
    if (S->Line > Index) --S->Line;
  for (const auto& M : FMemoEntries) {
    if (M->Line > Index) --M->Line;
    if (M->EndLine > Index) --M->EndLine;
  }
  if (FOpenBlock > Index) --FOpenBlock;
}

const TLanguageString* TLanguage::FindString(int32_t GLID) const {
  for (const auto& S : FStringEntries)
    if (S->GLID == GLID) return S.get();
  return nullptr;
}

const TLanguageString* TLanguage::FindText(const std::string& Text) const {
  for (const auto& S : FStringEntries)
    if (SameTextIgnoringCase(S->Text, Text)) return S.get();
  return nullptr;
}

const TLanguageMemo* TLanguage::FindMemo(int32_t GLID) const {
  for (const auto& M : FMemoEntries)
    if (M->GLID == GLID) return M.get();
  return nullptr;
}

const TLanguageMemo* TLanguage::FindMemoText(const std::string& Text) const {
  for (const auto& M : FMemoEntries)
    if (M->Lines.Text() == Text) return M.get();
  return nullptr;
}

// --- TTranslator ----------------------------------------------------------------------

void SetTranslatorControlHooks(TTranslatorControlHooks Hooks) { GHooks = std::move(Hooks); }

const TClassInfo& TTranslator::StaticClass() {
  static const TClassInfo Info = [] {
    TClassBuilder<TTranslator> B("TTranslator", &TComponent::StaticClass());
    B.Creatable();
    // lgChineseSimplified ... lgVietnamese, one per identity but qlUser.
    for (int L = 0; L < QrvnLanguageCount; ++L) {
      if (L == qlUser) continue;
      const auto Ident = static_cast<TQrvnLanguage>(L);
      const std::string Name = "lg" + PlainName(Ident);
      B.Object(Name.c_str(), [Ident](const TTranslator& T) { return T.Language(Ident); });
    }
    B.Enum("TranslateIntoLanguage", QrvnLanguageInfo, &TTranslator::TranslateIntoLanguage,
           &TTranslator::SetTranslateIntoLanguage, qlUser);
    return B.Build();
  }();
  return Info;
}

TTranslator::TTranslator(TComponent* AOwner) : TComponent(AOwner) {
  for (int L = 0; L < QrvnLanguageCount; ++L) {
    if (L == qlUser) continue;
    FOwned.push_back(std::make_unique<TLanguage>(this, static_cast<TQrvnLanguage>(L)));
    FLanguages.push_back(FOwned.back().get());
  }
  if (!GTranslator) {
    GTranslator = this;
    SetMessageTranslator(&TranslateMessage);
  }
}

TTranslator::~TTranslator() {
  if (GTranslator == this) {
    GTranslator = nullptr;
    SetMessageTranslator(nullptr);
  }
}

TLanguage* TTranslator::Language(TQrvnLanguage L) const {
  if (L < 0 || L >= QrvnLanguageCount || L == qlUser) return nullptr;
  return FLanguages[static_cast<size_t>(L < qlUser ? L : L - 1)];
}

void TTranslator::SetTranslateIntoLanguage(TQrvnLanguage Value) {
  FTranslateIntoLanguage = Value;
  if (OnLanguageChanged) OnLanguageChanged(this);
}

TLanguage* TTranslator::FindLanguage(TQrvnLanguage L) const {
  for (TLanguage* Lang : FLanguages)
    if (Lang->LanguageIdent == L) return Lang;
  return nullptr;
}

TLanguage* TTranslator::UserDefaultLanguage() const {
  TQrvnLanguage L;
  return UserDefaultQrvnLanguage(L) ? FindLanguage(L) : nullptr;
}

TLanguage* TTranslator::ResolveLanguage(TQrvnLanguage L) const {
  return L == qlUser ? UserDefaultLanguage() : FindLanguage(L);
}

std::string TTranslator::TranslateText(TQrvnLanguage From, const std::string& Text) const {
  const TLanguage* Source = ResolveLanguage(From);
  const TLanguageString* S = Source ? Source->FindText(Text) : nullptr;
  if (!S) return Text;
  const TLanguage* T = Target();
  const TLanguageString* R = T ? T->FindString(S->GLID) : nullptr;
  return R ? R->Text : Text;
}

std::string TTranslator::TranslateById(int32_t GLID, const std::string& Text) const {
  const TLanguage* T = Target();
  const TLanguageString* R = T ? T->FindString(GLID) : nullptr;
  return R ? R->Text : Text;
}

std::vector<std::string> TTranslator::TranslateLines(TQrvnLanguage From, const TStrings& Lines) const {
  const TLanguage* Source = ResolveLanguage(From);
  const TLanguageMemo* M = Source ? Source->FindMemoText(Lines.Text()) : nullptr;
  const TLanguage* T = M ? Target() : nullptr;
  const TLanguageMemo* R = T ? T->FindMemo(M->GLID) : nullptr;
  return R ? R->Lines.ToVector() : Lines.ToVector();
}

void TTranslator::TranslateProperties(TQrvnLanguage From, TComponent* Component) {
  for (const TPropInfo* P : Component->ClassInfo().AllProps()) {
    if (P->Kind != TPropKind::String || SameText(P->Name, "NAME")) continue;
    const std::string Value = P->GetStr(*Component);
    if (Trim(Value).empty()) continue;
    const std::string New = TranslateText(From, Value);
    if (New != Value) P->SetStr(*Component, New);
  }
  TranslateLists(From, Component);
}

void TTranslator::TranslateLists(TQrvnLanguage From, TComponent* Component) {
  const TListRule* Rule = ListRuleOf(Component->ClassInfo());
  if (!Rule) return;
  const TPropInfo* P = Component->ClassInfo().FindProp(Rule->Property);
  TPersistent* Obj = P && P->Kind == TPropKind::Object ? P->GetObj(*Component) : nullptr;
  if (auto* Lines = dynamic_cast<TStrings*>(Obj)) {
    if (Rule->Kind == lkLines) {
      const std::vector<std::string> New = TranslateLines(From, *Lines);
      if (New != Lines->ToVector()) {
        TStringList L;
        for (const std::string& S : New) L.Add(S);
        Lines->Assign(L);
      }
    } else {
      for (int i = 0; i < Lines->Count(); ++i) {
        const std::string New = TranslateText(From, Lines->Strings(i));
        if (New != Lines->Strings(i)) Lines->SetStrings(i, New);
      }
    }
  } else if (auto* Items = dynamic_cast<TCollection*>(Obj)) {
    for (int i = 0; i < Items->Count(); ++i) {
      TCollectionItem* Item = Items->Items(i);
      const TPropInfo* Caption = Item->ClassInfo().FindProp("Caption");
      if (!Caption || Caption->Kind != TPropKind::String) continue;
      const std::string Old = Caption->GetStr(*Item);
      const std::string New = TranslateText(From, Old);
      if (New != Old) Caption->SetStr(*Item, New);
    }
  }
}

void TTranslator::TranslateTree(TQrvnLanguage From, TComponent* Component) {
  std::function<void()> Restore;
  if (GHooks.BeginTexts) Restore = GHooks.BeginTexts(Component);
  TFinally End([&] {
    if (Restore) Restore();
  });
  int32_t GLID = 0;
  if (GHooks.CaptionId && GHooks.CaptionId(Component, GLID)) {
    // A control that carries its id: by the id when it has one, by its text
    // when its id is 0; a negative id keeps the caption as it is.
    if (GLID > 0) {
      const TPropInfo* Caption = Component->ClassInfo().FindProp("Caption");
      if (Caption && Caption->Kind == TPropKind::String)
        Caption->SetStr(*Component, TranslateById(GLID, Caption->GetStr(*Component)));
    } else if (GLID == 0) {
      TranslateProperties(From, Component);
    }
  } else {
    TranslateProperties(From, Component);
  }
  for (int i = 0; i < Component->ComponentCount(); ++i) {
    TComponent* Child = Component->Components(i);
    if (GHooks.IsForm && GHooks.IsForm(Child)) continue;
    TranslateTree(From, Child);
  }
}

TQrvnLanguage TTranslator::TranslateComponent(TQrvnLanguage From, TComponent* Component) {
  if (!Component) return From;
  TranslateTree(From, Component);
  const TLanguage* T = Target();
  return T && T->Strings()->Count() >= 1 ? FTranslateIntoLanguage : From;
}

TQrvnLanguage TTranslator::TranslateComponentInto(TQrvnLanguage From, TQrvnLanguage Into,
                                                  TComponent* Component) {
  TTemporaryTarget Temp(FTranslateIntoLanguage, Into);
  return TranslateComponent(From, Component);
}

void TTranslator::SetFontsOfTree(const TLanguage& L, TComponent* Control) {
  if (TFont* F = FontOf(Control)) {
    if (L.FontOverride) {
      F->Assign(*L.Font());
    } else {
      F->Charset = LanguageCharset(L.LanguageIdent);
      const std::string Face = LanguageFontFace(L.LanguageIdent);
      if (!Face.empty()) F->Name = Face;
      const int Min = LanguageMinFontSize(L.LanguageIdent);
      if (F->Size() < Min)
        F->SetSize(Min);
      else
        F->Changed();
    }
  }
  if (GHooks.ChildControls)
    for (TComponent* Child : GHooks.ChildControls(Control)) SetFontsOfTree(L, Child);
}

void TTranslator::SetFonts(TComponent* Control, bool Force) {
  const TLanguage* L = Target();
  if (!L || !Control) return;
  if (L->Strings()->Count() == 0 && !Force) L = Language(qlEnglish);
  SetFontsOfTree(*L, Control);
}

void TTranslator::SetFontsFor(TQrvnLanguage L, TComponent* Control) {
  TTemporaryTarget Temp(FTranslateIntoLanguage, L);
  SetFonts(Control, false);
}

// --- the process-wide translator ------------------------------------------------------

TTranslator* Translator() { return GTranslator; }

std::string TranslateMessage(const std::string& Text) {
  return GTranslator ? GTranslator->TranslateText(qlEnglish, Text) : Text;
}

void SetFontsOf(TComponent* Control) {
  if (GTranslator) GTranslator->SetFonts(Control, false);
}

void SetFontsOfFor(TQrvnLanguage L, TComponent* Control) {
  if (GTranslator) GTranslator->SetFontsFor(L, Control);
}

TQrvnLanguage TranslateFrom(TQrvnLanguage From, TComponent* Component) {
  return GTranslator ? GTranslator->TranslateComponent(From, Component) : From;
}

TQrvnLanguage TranslateFromInto(TQrvnLanguage From, TQrvnLanguage Into, TComponent* Component) {
  return GTranslator ? GTranslator->TranslateComponentInto(From, Into, Component) : From;
}

void RegisterTranslatorClasses() { RegisterComponentClass(TTranslator::StaticClass()); }
