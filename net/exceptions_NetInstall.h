// Failures of the net install location.
//
//   Exception
//   ├─ ENIL                 composed message (see below)
//   │   ├─ ENIL_OpenSession, ENIL_OpenService, ENIL_FailDataQuery,
//   │   │  ENIL_ReadFile, ENIL_FileNotFound, IENetList
//   │   ├─ ENIL_FTP ── ENIL_FTPSetDir, ENIL_FTPOpenFile, ENIL_FTPCloseFile
//   │   └─ ENIL_HTTP ── ENIL_HTTPOpenFile, ENIL_HTTPSendRequest
//   └─ ENIL_WriteDestFile, ENIL_FailLoadWININET, ENIL_FailLoadDLLProc
//                           their own text only
//
// An ENIL is built from the specific text (already formatted) and carries
// "<text>. Error message <last error name>. Server <host in use>. Response
// from server <last server response>", so a report read off a user's screen
// says where the transfer stopped.  The state is captured when the exception
// is constructed, i.e. at the raise site, before any clean-up can overwrite
// the thread's last error.
#pragma once

#include <cstdint>
#include <string>

#include "rtl/exceptions_Quorvane.h"

// The whole message of an ENIL around its specific text.
std::string ComposeNetErrorMessage(const std::string& SpecificText);
// "ERROR_INVALID_HANDLE", the WinINet constant's name, or "Unregistered error code".
std::string NetErrorCodeName(uint32_t Code);

class ENIL : public Exception {
 public:
  explicit ENIL(const std::string& SpecificText)
      : Exception(ComposeNetErrorMessage(SpecificText)) {}
  const char* ClassName() const override { return "ENIL"; }
};

QV_DECLARE_EXCEPTION(ENIL_OpenSession, ENIL)
QV_DECLARE_EXCEPTION(ENIL_OpenService, ENIL)
QV_DECLARE_EXCEPTION(ENIL_FailDataQuery, ENIL)
QV_DECLARE_EXCEPTION(ENIL_ReadFile, ENIL)
QV_DECLARE_EXCEPTION(ENIL_FileNotFound, ENIL)
QV_DECLARE_EXCEPTION(ENIL_FTP, ENIL)
QV_DECLARE_EXCEPTION(ENIL_FTPSetDir, ENIL_FTP)
QV_DECLARE_EXCEPTION(ENIL_FTPOpenFile, ENIL_FTP)
QV_DECLARE_EXCEPTION(ENIL_FTPCloseFile, ENIL_FTP)
QV_DECLARE_EXCEPTION(ENIL_HTTP, ENIL)
QV_DECLARE_EXCEPTION(ENIL_HTTPOpenFile, ENIL_HTTP)
QV_DECLARE_EXCEPTION(ENIL_HTTPSendRequest, ENIL_HTTP)
QV_DECLARE_EXCEPTION(IENetList, ENIL)

QV_DECLARE_EXCEPTION(ENIL_WriteDestFile, Exception)
QV_DECLARE_EXCEPTION(ENIL_FailLoadWININET, Exception)
QV_DECLARE_EXCEPTION(ENIL_FailLoadDLLProc, Exception)
