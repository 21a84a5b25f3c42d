// The translator: one string table per language, the font that suits each
// language, and translation by id.  A text is looked up in the table of the
// language it is in now; the text with the same id in the target language
// replaces it.  Every message of the kit passes through it (TranslateMessage)
// before it is raised or shown.
//
// A language table, one entry per line (blanks around a line do not count):
//
//   * a comment, anywhere, also inside a memo block
//   12;Click Next to continue        a string: id 12, the text up to the next ";"
//   #7;any remark                    starts memo 7; each following line is one
//   First line of the memo           line of the memo, up to a line that is
//   #                                exactly "#"
//
// Ids need not be unique or ordered: lookups take the first match.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rtl/cmp_TComponent.h"
#include "rtl/cmp_TFont.h"
#include "rtl/cmp_TStrings.h"

class TTranslator;
class TLanguage;

// The identity of a language; the order is fixed (values are stored in the
// registry across a restart).  qlUser stands for the user's Windows language.
// Any int is a value of the type, so a value read from outside can be
// checked before it is used.
enum TQrvnLanguage : int {
  qlChineseSimplified, qlCzech, qlDanish, qlEnglish, qlFrench, qlGerman, qlGreek, qlHebrew,
  qlItalian, qlJapanese, qlKorean, qlPolish, qlPortugese, qlRussian, qlSpanish, qlUser,
  qlVietnamese
};
constexpr int QrvnLanguageCount = 17;
extern const TEnumInfo QrvnLanguageInfo;

// What belongs to each language identity.  Every function raises
// "Unrecognized language" for qlUser and for values outside the type.
// The bitmap resource ("BM_LANG_ENGLISH") and the table file ("qrviEnglish.txt").
std::string LanguageBitmapName(TQrvnLanguage L);
std::string LanguageTextFileName(TQrvnLanguage L);
// The character set of its fonts.
int LanguageCharset(TQrvnLanguage L);
// The face of its fonts, in the language's own code page (the Chinese,
// Japanese and Korean faces are named in their scripts).
std::string LanguageFontFace(TQrvnLanguage L);
// The smallest font size (points) its texts are readable in; 0 for none.
int LanguageMinFontSize(TQrvnLanguage L);

// The language of a Windows language id: its primary language (the id
// masked with 0x3FF) looked up in the table, English for any other.
TQrvnLanguage LanguageOfLangId(int LangId);
// The language of the user's default Windows language; false when it cannot
// be asked.
bool UserDefaultQrvnLanguage(TQrvnLanguage& L);
// The name of a language: the enumerator without "ql" ("Portugese"); for
// qlUser the name of the user's language, empty when it cannot be found.
std::string LangIdToString(TQrvnLanguage L);

// --- table entries ----------------------------------------------------------

class TLanguageElement {
 public:
  TLanguageElement(int32_t AGLID, TLanguage* ALanguage, int32_t ALine)
      : GLID(AGLID), Language(ALanguage), Line(ALine) {}
  virtual ~TLanguageElement() = default;
  int32_t GLID;
  TLanguage* Language;
  int32_t Line;  // 0-based index of the line that defined it
};

class TLanguageString : public TLanguageElement {
 public:
  // A text is a short string: longer ones keep their first 255 characters.
  static constexpr size_t MaxTextLength = 255;
  TLanguageString(int32_t AGLID, TLanguage* ALanguage, int32_t ALine, const std::string& AText)
      : TLanguageElement(AGLID, ALanguage, ALine), Text(AText.substr(0, MaxTextLength)) {}
  std::string Text;
};

class TLanguageMemo : public TLanguageElement {
 public:
  TLanguageMemo(int32_t AGLID, TLanguage* ALanguage, int32_t ALine, int32_t AEndLine)
      : TLanguageElement(AGLID, ALanguage, ALine), EndLine(AEndLine) {}
  TStringList Lines;
  int32_t EndLine;  // index of the closing "#"
};

// --- the table --------------------------------------------------------------

// The lines of a language table.  Every change re-reads the whole table into
// the language's entries, except Delete, which drops what the deleted line
// defined and renumbers the entries below it (it reads the table again only
// when the line belonged to a memo block or the table had an error).
// Assign, LoadFromFile and LoadFromStream read the table once, after the
// whole change.
class TLangFormatStrings : public TStringList {
  QV_CLASS()
 public:
  explicit TLangFormatStrings(TLanguage* ALanguage) : FLanguage(ALanguage) {}
  TLanguage* Language() const { return FLanguage; }

  void Delete(int Index);
  void Assign(const TStrings& Source);
  // The bytes of the file or stream split into lines at CR, LF or CR LF.
  // A file that cannot be read raises EFileError naming it.
  void LoadFromFile(const std::string& FileName);
  void LoadFromStream(class TStream& Stream);

 protected:
  void Changed() override;

 private:
  // Runs Change without reading the table after it.
  void Quietly(const std::function<void()>& Change);
  void SetTextOnce(const std::string& Text);
  TLanguage* FLanguage;
};

class TLanguage : public TPersistent {
  QV_CLASS()
 public:
  TLanguage(TTranslator* ATranslator, TQrvnLanguage AIdent);
  ~TLanguage() override;

  // Published.
  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont& Value) { FFont->Assign(Value); }
  bool FontOverride = false;
  TQrvnLanguage LanguageIdent;
  TLangFormatStrings* Strings() const { return FStrings.get(); }
  void SetStrings(const TStrings& Value) { FStrings->Assign(Value); }

  TTranslator* Translator() const { return FTranslator; }
  std::string BitmapName() const;    // empty for qlUser
  std::string TextFileName() const;  // empty for qlUser
  const std::vector<std::unique_ptr<TLanguageString>>& StringEntries() const { return FStringEntries; }
  const std::vector<std::unique_ptr<TLanguageMemo>>& MemoEntries() const { return FMemoEntries; }

  // Re-reads the table after each change of its lines while set.
  bool AutoParse = true;
  // Reads the table into entries.  On a format error no entries remain, the
  // lines stay, and IException tells which line is wrong.
  void Parse();
  // A line of the table was removed: see TLangFormatStrings::Delete.
  void LineDeleted(int Index);

  // First entries in line order; nullptr when none.
  const TLanguageString* FindString(int32_t GLID) const;
  const TLanguageString* FindText(const std::string& Text) const;  // ignoring case
  const TLanguageMemo* FindMemo(int32_t GLID) const;
  const TLanguageMemo* FindMemoText(const std::string& Text) const;  // exactly

  // The identity the translator made this language for.
  TQrvnLanguage Identity() const { return FIdentity; }

 private:
  void Discard();
  TTranslator* FTranslator;
  TQrvnLanguage FIdentity;
  bool FParseFailed = false;  // the last reading of the table stopped at an error
  int32_t FOpenBlock = -1;    // the first line of a memo block left open at the end
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TLangFormatStrings> FStrings;
  std::vector<std::unique_ptr<TLanguageString>> FStringEntries;
  std::vector<std::unique_ptr<TLanguageMemo>> FMemoEntries;
};

// --- the translator ---------------------------------------------------------

// What the translator needs of controls, which live in a layer above this
// one; that layer fills these in (RegisterTranslateControlsClasses).  Without
// them every component is translated by its string properties only.
struct TTranslatorControlHooks {
  // Gets a component ready for new texts (a control is hidden while they
  // change, a label stops sizing itself) and returns what puts it back;
  // empty for components that need nothing.
  std::function<std::function<void()>(TComponent*)> BeginTexts;
  // True for a control that carries the id of its caption, with that id.
  std::function<bool(TComponent*, int32_t& GLID)> CaptionId;
  // Forms are translated on their own, never as a part of their owner.
  std::function<bool(TComponent*)> IsForm;
  // The child controls of a windowed control.
  std::function<std::vector<TComponent*>(TComponent*)> ChildControls;
};
void SetTranslatorControlHooks(TTranslatorControlHooks Hooks);

class TTranslator : public TComponent {
  QV_CLASS()
 public:
  explicit TTranslator(TComponent* AOwner);
  ~TTranslator() override;

  // The language of an identity (the published lgEnglish ...); nullptr for
  // qlUser.
  TLanguage* Language(TQrvnLanguage L) const;
  // The sixteen languages in the order of their identities.
  const std::vector<TLanguage*>& Languages() const { return FLanguages; }

  TQrvnLanguage TranslateIntoLanguage() const { return FTranslateIntoLanguage; }
  void SetTranslateIntoLanguage(TQrvnLanguage Value);
  // Fired after TranslateIntoLanguage is set.
  TNotifyEvent OnLanguageChanged;

  // The language of the list with that LanguageIdent; nullptr when none.
  TLanguage* FindLanguage(TQrvnLanguage L) const;
  // FindLanguage of the user's Windows language; nullptr on any error.
  TLanguage* UserDefaultLanguage() const;
  // UserDefaultLanguage for qlUser, else FindLanguage.
  TLanguage* ResolveLanguage(TQrvnLanguage L) const;

  // The text of the target language with the id that Text has in From
  // (compared ignoring case); Text itself when either is missing.
  std::string TranslateText(TQrvnLanguage From, const std::string& Text) const;
  // The target language's text of that id; Text when it has none.
  std::string TranslateById(int32_t GLID, const std::string& Text) const;
  // The target language's memo with the id of From's memo that holds
  // exactly these lines; a copy of Lines when there is none.
  std::vector<std::string> TranslateLines(TQrvnLanguage From, const TStrings& Lines) const;
  // Translates the texts of Component and of the components it owns (forms
  // apart) from From into TranslateIntoLanguage: captions by id, string
  // properties by text, the lines of memos and the items of lists (classes
  // derived from TCustomMemo, TCustomListBox, TCustomComboBox,
  // TCustomRadioGroup and TCustomListView).  Returns the language the texts
  // are in afterwards.
  TQrvnLanguage TranslateComponent(TQrvnLanguage From, TComponent* Component);
  // TranslateComponent with TranslateIntoLanguage set to Into for the time.
  TQrvnLanguage TranslateComponentInto(TQrvnLanguage From, TQrvnLanguage Into,
                                       TComponent* Component);
  // Sets the fonts of a control and its child controls for the target
  // language (English fonts for a language without strings unless Force).
  void SetFonts(TComponent* Control, bool Force);
  void SetFontsFor(TQrvnLanguage L, TComponent* Control);

 private:
  TLanguage* Target() const { return ResolveLanguage(FTranslateIntoLanguage); }
  void TranslateTree(TQrvnLanguage From, TComponent* Component);
  void TranslateProperties(TQrvnLanguage From, TComponent* Component);
  void TranslateLists(TQrvnLanguage From, TComponent* Component);
  void SetFontsOfTree(const TLanguage& L, TComponent* Control);

  std::vector<TLanguage*> FLanguages;
  std::vector<std::unique_ptr<TLanguage>> FOwned;
  TQrvnLanguage FTranslateIntoLanguage = qlUser;
};

// --- the process-wide translator ---------------------------------------------

// The first translator created, until it is destroyed; nullptr before.
TTranslator* Translator();

// Each of these does nothing, or returns its input, without a translator.
// A kit message in the user's language: TranslateText from English.
std::string TranslateMessage(const std::string& Text);
void SetFontsOf(TComponent* Control);
void SetFontsOfFor(TQrvnLanguage L, TComponent* Control);
TQrvnLanguage TranslateFrom(TQrvnLanguage From, TComponent* Component);
TQrvnLanguage TranslateFromInto(TQrvnLanguage From, TQrvnLanguage Into, TComponent* Component);

void RegisterTranslatorClasses();
