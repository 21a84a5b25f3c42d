// The author's own page forms and texts in a setup program: a text form
// replacing one of the kit's pages or windows, and the licence and read-me
// texts put into the rich edits of their pages.  Everything here works on
// the forms read from the engine (ReadEngineForms) before anything is
// written, so a mistake leaves no output behind.
#pragma once

#include <string>
#include <vector>

#include "apps/qvc/routines_ProjectCompiler.h"

// The class of a form stream's root object; EReadError for a malformed one.
std::string RootClassOf(const std::string& Stream);

// Stream with the string-list property Path ("Lines.Strings") of the
// component named Component replaced by Lines, or added to it when it has
// none; every other byte stays as it was.  Empty when the stream holds no
// such component.  ComponentClass receives the component's class.
std::string WithStringsProperty(const std::string& Stream, const std::string& Component, const std::string& Path,
                                const std::vector<std::string>& Lines, std::string* ComponentClass = nullptr);

// Compiles the text form Text (read from FileName) and puts it in Forms in
// place of the engine's form of its root class.  EProjectError with the
// line when it does not compile or when its class is not one of Forms.
// Returns the name of the resource replaced.
std::string ReplacePageForm(TFormResources& Forms, const std::string& Text, const std::string& FileName);

// The pages whose rich edit shows an author's text.
struct TTextPage {
  const char* Resource;   // the page form's resource, "TLICENSEFORM"
  const char* Component;  // its rich edit, "Agreement"
  const char* What;       // for the messages: "licence"
};
extern const TTextPage LicensePage;
extern const TTextPage ReadmePage;

// Puts the text of FileName (plain or RTF) as the lines of the page's rich
// edit.  ECompilerError naming the file when it cannot be read or is not
// text, when Forms has no such page (Engine names the setup engine in the
// message) or the page no such rich edit.
void PutPageText(TFormResources& Forms, const TTextPage& Page, const std::string& FileName,
                 const std::string& Engine);
