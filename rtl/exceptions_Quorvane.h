// The kit's exception tree.  Every failure is one of these; the message is
// the whole report (there are no error codes across layers).
//
//   Exception
//   ├─ EAbort                       quiet abort: skips the current object
//   ├─ EReadError / EWriteError     object stream failures
//   ├─ EQI ── EQIUserAbort, EQICannotExpand*MV, EQIPMError ...
//   ├─ ECustomQuorvaneAbnormal
//   │   ├─ EQuorvaneAbnormal ── EAPIRoutines, EQrvnCompress ── EqcDiskFull, EqcAborted
//   │   └─ IException ── IEInstall, IEFileContainer ... (message translated first)
//   ├─ EIRCannotWriteValue
//   └─ ENIL ...                     (declared with the net location)
#pragma once

#include <stdexcept>
#include <string>

#include "rtl/routines_Format.h"

// Messages of the kit pass through the translator before they are raised.
// The translator lives far above this layer; it installs itself here.
using TMessageTranslator = std::string (*)(const std::string& EnglishText);
void SetMessageTranslator(TMessageTranslator Translator);
std::string TranslateMessageText(const std::string& EnglishText);

// Formats after translating the format string, as every kit message is.
template <class... A>
std::string TranslatedFormat(const std::string& Fmt, const A&... Args) {
  return Format(TranslateMessageText(Fmt), Args...);
}

class Exception : public std::exception {
 public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(const std::string& M) { FMessage = M; }
  const char* what() const noexcept override { return FMessage.c_str(); }
  virtual const char* ClassName() const { return "Exception"; }

 private:
  std::string FMessage;
};

#define QV_DECLARE_EXCEPTION(Name, Parent)                      \
  class Name : public Parent {                                  \
   public:                                                      \
    using Parent::Parent;                                       \
    const char* ClassName() const override { return #Name; }    \
  };

// The runtime's quiet abort: the standard error display ignores it; an event
// handler raises it to skip the current object without ending the run.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  using Exception::Exception;
  const char* ClassName() const override { return "EAbort"; }
};

QV_DECLARE_EXCEPTION(EStreamError, Exception)
QV_DECLARE_EXCEPTION(EReadError, EStreamError)
QV_DECLARE_EXCEPTION(EWriteError, EStreamError)
QV_DECLARE_EXCEPTION(EClassNotFound, EReadError)
QV_DECLARE_EXCEPTION(EComponentError, Exception)
QV_DECLARE_EXCEPTION(EParserError, Exception)
QV_DECLARE_EXCEPTION(EStringListError, Exception)
QV_DECLARE_EXCEPTION(EListError, Exception)
QV_DECLARE_EXCEPTION(EFileError, Exception)

QV_DECLARE_EXCEPTION(EQI, Exception)
class EQIUserAbort : public EQI {
 public:
  EQIUserAbort() : EQI(TranslateMessageText("Installation aborted by the user")) {}
  const char* ClassName() const override { return "EQIUserAbort"; }
};
QV_DECLARE_EXCEPTION(EQICannotExpandContainerDirMV, EQI)
QV_DECLARE_EXCEPTION(EQICannotExpandInstallDirMV, EQI)

QV_DECLARE_EXCEPTION(ECustomQuorvaneAbnormal, Exception)
QV_DECLARE_EXCEPTION(EQuorvaneAbnormal, ECustomQuorvaneAbnormal)
QV_DECLARE_EXCEPTION(EAPIRoutines, EQuorvaneAbnormal)
QV_DECLARE_EXCEPTION(EQrvnCompress, EQuorvaneAbnormal)
QV_DECLARE_EXCEPTION(EqcDiskFull, EQrvnCompress)
QV_DECLARE_EXCEPTION(EqcAborted, EQrvnCompress)

// Component errors: the message (or format string) is translated first.
class IException : public ECustomQuorvaneAbnormal {
 public:
  explicit IException(const std::string& Msg)
      : ECustomQuorvaneAbnormal(TranslateMessageText(Msg)) {}
  template <class A0, class... A>
  IException(const std::string& Fmt, const A0& Arg0, const A&... Args)
      : ECustomQuorvaneAbnormal(TranslatedFormat(Fmt, Arg0, Args...)) {}
  const char* ClassName() const override { return "IException"; }
};

QV_DECLARE_EXCEPTION(IEInstall, IException)
QV_DECLARE_EXCEPTION(IEInstallNetLocNil, IEInstall)
QV_DECLARE_EXCEPTION(IEPathSpecifier, IException)
QV_DECLARE_EXCEPTION(IEPathSpecifierList, IException)
QV_DECLARE_EXCEPTION(IEInstallContainer, IException)
QV_DECLARE_EXCEPTION(IEFileRelated, IException)
QV_DECLARE_EXCEPTION(IEFileRel_NoNetLocation, IEFileRelated)
QV_DECLARE_EXCEPTION(IEFileContainer, IException)
QV_DECLARE_EXCEPTION(IEfcDuplicateFile, IEFileContainer)
QV_DECLARE_EXCEPTION(IENoQuorvanePath, IException)
QV_DECLARE_EXCEPTION(IECustomInstallFile, IException)
QV_DECLARE_EXCEPTION(IECustomInstallFileList, IException)
QV_DECLARE_EXCEPTION(IEContainerList, IException)
QV_DECLARE_EXCEPTION(IEUninstallEXE, IException)
QV_DECLARE_EXCEPTION(IEInstallShellLink, IException)
QV_DECLARE_EXCEPTION(IEShellLinkGroup, IException)
QV_DECLARE_EXCEPTION(IEInstallShellLinkList, IException)
QV_DECLARE_EXCEPTION(IERegistryEntry, IException)
QV_DECLARE_EXCEPTION(IERegistryEntries, IException)
QV_DECLARE_EXCEPTION(IEInstallRegistry, IException)
QV_DECLARE_EXCEPTION(IEInstallRegistryList, IException)
QV_DECLARE_EXCEPTION(IEFileGroupSelectForm, IException)

QV_DECLARE_EXCEPTION(EIRCannotWriteValue, Exception)

// A kit failure whose message is worded as always, with its cause after it:
// the words stay as the translator knows them, the cause ("LoadLibraryA(...)
// failed: error 126: ...") says why.
template <class E, class... A>
E WithCause(const std::string& Cause, const std::string& Fmt, const A&... Args) {
  E Error(Fmt, Args...);
  if (!Cause.empty()) Error.SetMessage(Error.Message() + " (" + Cause + ")");
  return Error;
}
