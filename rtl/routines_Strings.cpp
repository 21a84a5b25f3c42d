#include "rtl/routines_Strings.h"

#include <limits>

namespace {

bool IsPathDelimiter(char c) { return c == '\\' || c == ':'; }

// Index of the last "\" or ":", npos when there is none.
size_t LastDelimiter(const std::string& S) {
  for (size_t i = S.size(); i-- > 0;)
    if (IsPathDelimiter(S[i])) return i;
  return std::string::npos;
}

// Index of the dot that starts the extension, npos when the name part has none.
size_t ExtensionStart(const std::string& S) {
  for (size_t i = S.size(); i-- > 0;) {
    if (S[i] == '.') return i;
    if (IsPathDelimiter(S[i])) break;
  }
  return std::string::npos;
}

// Bytes above 127 are letters of the code page, not blanks: compare unsigned.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string AddBackslash(const std::string& S) {
  if (S.empty() || S.back() == '\\') return S;
  return S + '\\';
}

std::string RemoveBackslash(const std::string& S) {
  if (!S.empty() && S.back() == '\\') return S.substr(0, S.size() - 1);
  return S;
}

std::string ExtractFilePath(const std::string& FileName) {
  size_t P = LastDelimiter(FileName);
  return P == std::string::npos ? std::string() : FileName.substr(0, P + 1);
}

std::string ExtractFileDir(const std::string& FileName) {
  std::string Path = ExtractFilePath(FileName);
  // "C:\" and "\" are folders in their own right; their backslash stays.
  if (Path.size() > 1 && Path.back() == '\\' && Path[Path.size() - 2] != ':')
    Path.pop_back();
  return Path;
}

std::string ExtractFileName(const std::string& FileName) {
  size_t P = LastDelimiter(FileName);
  return P == std::string::npos ? FileName : FileName.substr(P + 1);
}

std::string ExtractFileExt(const std::string& FileName) {
  size_t P = ExtensionStart(FileName);
  return P == std::string::npos ? std::string() : FileName.substr(P);
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
  size_t P = ExtensionStart(FileName);
  return (P == std::string::npos ? FileName : FileName.substr(0, P)) + Extension;
}

std::string ExtractFileDrive(const std::string& FileName) {
  if (FileName.size() >= 2 && FileName[1] == ':') return FileName.substr(0, 2);
  if (FileName.size() >= 2 && FileName[0] == '\\' && FileName[1] == '\\') {
    // "\\server\share": up to the backslash after the share name.
    size_t Server = FileName.find('\\', 2);
    if (Server == std::string::npos) return FileName;
    size_t Share = FileName.find('\\', Server + 1);
    return Share == std::string::npos ? FileName : FileName.substr(0, Share);
  }
  return std::string();
}

std::string MakeValidFileName(const std::string& S) {
  static const std::string Removed = "\"*:;<>?\\|";
  std::string R;
  R.reserve(S.size());
  for (char c : S) {
    if (c == '/')
      R += '-';
    else if (Removed.find(c) == std::string::npos)
      R += c;
  }
  return R;
}

int FieldCount(const std::string& S, char Sep) {
  int N = 0;
  for (char c : S)
    if (c == Sep) ++N;
  if (!S.empty() && S.back() != Sep) ++N;
  return N;
}

std::string GetField(const std::string& S, int N, char Sep) {
  if (N < 1) return std::string();
  size_t Start = 0;
  for (int i = 1; i < N; ++i) {
    size_t P = S.find(Sep, Start);
    if (P == std::string::npos) return std::string();
    Start = P + 1;
  }
  size_t End = S.find(Sep, Start);
  return S.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
}

void SplitToList(const std::string& S, char Sep, TStrings& List) {
  List.Clear();
  // One pass: GetField per index would rescan S for every field.
  int Count = FieldCount(S, Sep);
  size_t Start = 0;
  for (int i = 0; i < Count; ++i) {
    size_t End = S.find(Sep, Start);
    if (End == std::string::npos) End = S.size();
    List.Add(S.substr(Start, End - Start));
    Start = End + 1;
  }
}

std::string TextAfterColon(const std::string& S) {
  size_t P = S.find(':');
  return P == std::string::npos ? S : S.substr(P + 1);
}

std::string TrimLeft(const std::string& S) {
  size_t B = 0;
  while (B < S.size() && IsBlank(S[B])) ++B;
  return S.substr(B);
}

std::string TrimRight(const std::string& S) {
  size_t E = S.size();
  while (E > 0 && IsBlank(S[E - 1])) --E;
  return S.substr(0, E);
}

std::string Trim(const std::string& S) { return TrimLeft(TrimRight(S)); }

bool TryStrToInt(const std::string& S, int32_t& Value) {
  size_t i = 0;
  bool Negative = false;
  if (i < S.size() && (S[i] == '+' || S[i] == '-')) Negative = S[i++] == '-';
  if (i == S.size()) return false;
  int64_t V = 0;
  const int64_t Limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + (Negative ? 1 : 0);
  for (; i < S.size(); ++i) {
    if (S[i] < '0' || S[i] > '9') return false;
    V = V * 10 + (S[i] - '0');
    if (V > Limit) return false;
  }
  Value = static_cast<int32_t>(Negative ? -V : V);
  return true;
}

int32_t StrToIntDef(const std::string& S, int32_t Default) {
  int32_t V;
  return TryStrToInt(S, V) ? V : Default;
}
