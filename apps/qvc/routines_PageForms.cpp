#include "apps/qvc/routines_PageForms.h"

#include <memory>

#include "apps/setup/routines_Startup.h"
#include "controls/cmp_TRichEdit.h"
#include "rtl/cmp_TFiler.h"
#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/cmp_TStrings.h"
#include "rtl/cmp_TWriter.h"
#include "rtl/routines_Format.h"
#include "rtl/routines_Strings.h"
#include "ui/cmp_TDialogManager.h"

const TTextPage LicensePage = {"TLICENSEFORM", "Agreement", "licence"};
const TTextPage ReadmePage = {"TREADMEFORM", "Information", "read-me"};

namespace {

// --- walking a binary form stream ------------------------------------------------------------

void SkipValue(TReader& R);

void SkipProperties(TReader& R) {
  while (!R.EndOfList()) {
    R.ReadStr();
    SkipValue(R);
  }
  R.ReadListEnd();
}

void SkipValue(TReader& R) {
  switch (R.NextValue()) {
    case TValueType::vaList:
      R.ReadValue();
      while (!R.EndOfList()) SkipValue(R);
      R.ReadListEnd();
      return;
    case TValueType::vaCollection:
      R.ReadValue();
      while (!R.EndOfList()) {
        const TValueType T = R.NextValue();
        if (T == TValueType::vaInt8 || T == TValueType::vaInt16 || T == TValueType::vaInt32) R.ReadInteger();
        R.ReadListBegin();
        SkipProperties(R);
      }
      R.ReadListEnd();
      return;
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32: R.ReadInteger(); return;
    case TValueType::vaExtended: R.ReadFloat(); return;
    case TValueType::vaSingle: R.ReadSingle(); return;
    case TValueType::vaCurrency: R.ReadCurrency(); return;
    case TValueType::vaDate: R.ReadDate(); return;
    case TValueType::vaString:
    case TValueType::vaLString:
    case TValueType::vaWString: R.ReadWideString(); return;
    case TValueType::vaIdent:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil: R.ReadIdent(); return;
    case TValueType::vaBinary: R.ReadBinary(); return;
    case TValueType::vaSet: R.ReadSet(); return;
    default: throw EReadError("Invalid property value");
  }
}

// Where, in the record of one component, a property's value lies, or where
// a new property goes.
struct TPropertySpot {
  std::string ClassName;
  int64_t From = -1, To = -1;  // the old value; both at the properties' end when there is none
  bool Found = false;
};

// Reads the object record at the reader's position with its children,
// looking for the component named Component and its property Path.
bool FindProperty(TReader& R, const std::string& Component, const std::string& Path, TPropertySpot& Spot, int Depth) {
  if (Depth > MaxFilerNesting) throw EReadError("Invalid stream format");
  uint8_t Flags;
  int32_t ChildPos;
  R.ReadPrefix(Flags, ChildPos);
  const std::string ClassName = R.ReadStr();
  const bool Wanted = SameText(R.ReadStr(), Component);
  while (!R.EndOfList()) {
    const std::string Name = R.ReadStr();
    const bool Match = Wanted && SameText(Name, Path);
    const int64_t From = R.Position();
    SkipValue(R);
    if (Match) {
      Spot.From = From;
      Spot.To = R.Position();
      Spot.Found = true;
    }
  }
  if (Wanted) {
    Spot.ClassName = ClassName;
    if (!Spot.Found) Spot.From = Spot.To = R.Position();
    return true;
  }
  R.ReadListEnd();
  while (!R.EndOfList())
    if (FindProperty(R, Component, Path, Spot, Depth + 1)) return true;
  R.ReadListEnd();
  return false;
}

std::string StringListBytes(const std::string* Name, const std::vector<std::string>& Lines) {
  TMemoryStream S;
  TWriter W(S);
  if (Name) W.WriteStr(*Name);
  W.WriteListBegin();
  for (const std::string& L : Lines) W.WriteString(L);
  W.WriteListEnd();
  return S.Data();
}

std::string ReadableText(const std::string& FileName) {
  std::string Text;
  try {
    Text = ReadSourceFile(FileName);
  } catch (const Exception& E) {
    throw ECompilerError(Format("Cannot read %s: %s", FileName, E.Message()));
  }
  // A word processor's document or a UTF-16 file would show as garbage.
  if (Text.find('\0') != std::string::npos)
    throw ECompilerError(Format("%s is not a plain-text or RTF file", FileName));
  return Text;
}

// The class of a page or window as the setup program knows it: in the
// stream registry or in one of the dialog manager's registries.
const TClassInfo* KitFormClass(const std::string& Name) {
  PrepareComponentModel();
  if (const TClassInfo* Info = FindClass(Name)) return Info;
  const auto In = [&](const auto& List) -> const TClassInfo* {
    for (const auto& E : List)
      if (E.FormClass && SameText(E.FormClass->ClassName, Name)) return E.FormClass;
    return nullptr;
  };
  if (const TClassInfo* Info = In(InstallFormList())) return Info;
  if (const TClassInfo* Info = In(DuringCopyFormList())) return Info;
  return In(ChangeDiskFormList());
}

// The class a form resource is named after, as the program spells it.
std::string ClassNameOf(const std::string& Resource) {
  if (const TClassInfo* Info = KitFormClass(Resource)) return Info->ClassName;
  for (const std::string& Name : PageFormClassNames())
    if (SameText(Name, Resource)) return Name;
  return Resource;
}

}  // namespace

std::string RootClassOf(const std::string& Stream) {
  TMemoryStream S(Stream);
  TReader R(S);
  R.ReadSignature();
  uint8_t Flags;
  int32_t ChildPos;
  R.ReadPrefix(Flags, ChildPos);
  return R.ReadStr();
}

std::string WithStringsProperty(const std::string& Stream, const std::string& Component, const std::string& Path,
                                const std::vector<std::string>& Lines, std::string* ComponentClass) {
  TMemoryStream S(Stream);
  TReader R(S);
  R.ReadSignature();
  TPropertySpot Spot;
  if (!FindProperty(R, Component, Path, Spot, 0)) return "";
  if (ComponentClass) *ComponentClass = Spot.ClassName;
  const std::string Value = StringListBytes(Spot.Found ? nullptr : &Path, Lines);
  return Stream.substr(0, static_cast<size_t>(Spot.From)) + Value + Stream.substr(static_cast<size_t>(Spot.To));
}

std::string ReplacePageForm(TFormResources& Forms, const std::string& Text, const std::string& FileName) {
  TOffsetLines Lines;
  const std::string Stream = CompileFormText(Text, FileName, Lines);
  const std::string Class = RootClassOf(Stream);
  const auto Old = Forms.find(UpperCase(Class));
  if (Old == Forms.end()) {
    std::string Known;
    for (const auto& F : Forms) Known += (Known.empty() ? "" : ", ") + ClassNameOf(F.first);
    throw EProjectError(Format("%s(1): %s is not one of the setup's pages or windows (%s)", FileName, Class, Known));
  }
  // A class the setup program registers is loaded as the program will load
  // it, so that a misspelt control, property or event shows here.
  if (const TClassInfo* Info = KitFormClass(Class))
    if (Info->Create) {
      std::unique_ptr<TComponent> Form(Info->Create(nullptr));
      LoadFormStream(Stream, Lines, *Form, FileName);
    }
  Old->second = Stream;
  return Old->first;
}

void PutPageText(TFormResources& Forms, const TTextPage& Page, const std::string& FileName,
                 const std::string& Engine) {
  const std::string Text = ReadableText(FileName);
  const auto Form = Forms.find(Page.Resource);
  if (Form == Forms.end())
    throw ECompilerError(Format("Cannot put the %s %s into the setup: the setup engine %s has no %s form", Page.What,
                                FileName, Engine, Page.Resource));
  TStrings Lines;  // split as the rich edit's lines split a text
  Lines.SetText(Text);
  std::vector<std::string> Strings;
  for (int i = 0; i < Lines.Count(); ++i) Strings.push_back(Lines.Strings(i));
  std::string Class;
  std::string Stream;
  try {
    Stream = WithStringsProperty(Form->second, Page.Component, "Lines.Strings", Strings, &Class);
  } catch (const Exception& E) {
    throw ECompilerError(Format("Cannot put the %s %s into the setup: its %s form cannot be read: %s", Page.What,
                                FileName, Page.Resource, E.Message()));
  }
  PrepareComponentModel();
  const TClassInfo* Info = Stream.empty() ? nullptr : FindClass(Class);
  if (!Info || !Info->InheritsFrom(TCustomRichEdit::StaticClass()))
    throw ECompilerError(Format("Cannot put the %s %s into the setup: its %s form has no rich edit %s", Page.What,
                                FileName, Page.Resource, Page.Component));
  Form->second = Stream;
}
