#include "rtl/routines_ObjectText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "rtl/cmp_TReader.h"
#include "rtl/cmp_TStream.h"
#include "rtl/cmp_TWriter.h"

namespace {

constexpr size_t MaxShortString = 255;
constexpr int IndentWidth = 2;
constexpr size_t StringLineLength = 64;  // characters of a string per text line
constexpr size_t BinaryLineBytes = 32;
constexpr int64_t CurrencyScale = 10000;

bool IsIdentStart(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_'; }
bool IsIdentChar(char C) { return IsIdentStart(C) || (C >= '0' && C <= '9'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
int HexValue(char C) {
  if (IsDigit(C)) return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

bool IsDottedIdent(const std::string& S) {
  size_t From = 0;
  for (;;) {
    const size_t Dot = S.find('.', From);
    if (!IsValidIdent(S.substr(From, Dot == std::string::npos ? Dot : Dot - From))) return false;
    if (Dot == std::string::npos) return true;
    From = Dot + 1;
  }
}

// =============================================================================
// Binary to text.

class TTextPrinter {
 public:
  explicit TTextPrinter(const std::string& Binary) : FStream(Binary), FReader(FStream) {}

  std::string Run() {
    FReader.ReadSignature();
    Object(0);
    return FOut;
  }

 private:
  struct TNest {
    explicit TNest(TTextPrinter& P) : P(P) {
      if (++P.FDepth > MaxFilerNesting) throw EReadError("Invalid stream format");
    }
    ~TNest() { --P.FDepth; }
    TTextPrinter& P;
  };

  static const std::string& Checked(const std::string& Name, bool Dotted) {
    if (!(Dotted ? IsDottedIdent(Name) : IsValidIdent(Name)))
      throw EReadError("Invalid stream format");
    return Name;
  }

  void Indent(int Level) { FOut.append(static_cast<size_t>(Level * IndentWidth), ' '); }

  void Object(int Level) {
    TNest Nest(*this);
    uint8_t Flags;
    int32_t ChildPos;
    FReader.ReadPrefix(Flags, ChildPos);
    const std::string ClassName = FReader.ReadStr();
    const std::string Name = FReader.ReadStr();
    Indent(Level);
    FOut += (Flags & ffInherited) ? "inherited " : (Flags & ffInline) ? "inline " : "object ";
    if (!Name.empty()) FOut += Checked(Name, false) + ": ";
    FOut += Checked(ClassName, false);
    if (Flags & ffChildPos) FOut += " [" + std::to_string(ChildPos) + "]";
    FOut += '\n';
    while (!FReader.EndOfList()) Property(Level + 1);
    FReader.ReadListEnd();
    while (!FReader.EndOfList()) Object(Level + 1);
    FReader.ReadListEnd();
    Indent(Level);
    FOut += "end\n";
  }

  void Property(int Level) {
    const std::string Path = FReader.ReadStr();
    Indent(Level);
    FOut += Checked(Path, true) + " = ";
    Value(Level);
    FOut += '\n';
  }

  void Value(int Level) {
    switch (FReader.NextValue()) {
      case TValueType::vaList: {
        TNest Nest(*this);
        FReader.ReadValue();
        FOut += '(';
        while (!FReader.EndOfList()) {
          FOut += '\n';
          Indent(Level + 1);
          Value(Level + 1);
        }
        FReader.ReadListEnd();
        FOut += ')';
        return;
      }
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
        FOut += std::to_string(FReader.ReadInteger());
        return;
      case TValueType::vaExtended:
        FOut += FloatText(FReader.ReadFloat());
        return;
      case TValueType::vaSingle:
        FOut += FloatText(FReader.ReadSingle()) + 's';
        return;
      case TValueType::vaCurrency:
        FOut += CurrencyText(FReader.ReadCurrency());
        return;
      case TValueType::vaDate:
        FOut += FloatText(FReader.ReadDate()) + 'd';
        return;
      case TValueType::vaString:
      case TValueType::vaLString: {
        const std::string S = FReader.ReadString();
        std::u16string W;
        for (unsigned char C : S) W += static_cast<char16_t>(C);
        StringText(W, Level);
        return;
      }
      case TValueType::vaWString:
        StringText(FReader.ReadWideString(), Level);
        return;
      case TValueType::vaIdent:
        FOut += Checked(FReader.ReadIdent(), true);
        return;
      case TValueType::vaFalse:
      case TValueType::vaTrue:
      case TValueType::vaNil:
        FOut += FReader.ReadIdent();
        return;
      case TValueType::vaBinary:
        BinaryText(FReader.ReadBinary(), Level);
        return;
      case TValueType::vaSet: {
        FOut += '[';
        const std::vector<std::string> Names = FReader.ReadSet();
        for (size_t i = 0; i < Names.size(); ++i) FOut += (i ? ", " : "") + Checked(Names[i], false);
        FOut += ']';
        return;
      }
      case TValueType::vaCollection:
        Collection(Level);
        return;
      default:
        throw EReadError("Invalid property value");
    }
  }

  void Collection(int Level) {
    TNest Nest(*this);
    FReader.ReadValue();
    FOut += '<';
    while (!FReader.EndOfList()) {
      FOut += '\n';
      Indent(Level + 1);
      FOut += "item";
      const TValueType T = FReader.NextValue();
      if (T == TValueType::vaInt8 || T == TValueType::vaInt16 || T == TValueType::vaInt32)
        FOut += " [" + std::to_string(FReader.ReadInteger()) + "]";
      FOut += '\n';
      FReader.ReadListBegin();
      while (!FReader.EndOfList()) Property(Level + 2);
      FReader.ReadListEnd();
      Indent(Level + 1);
      FOut += "end";
    }
    FReader.ReadListEnd();
    FOut += '>';
  }

  // Printable ASCII inside quotes, everything else as #code; long strings
  // continue on the next line after a '+'.
  void StringText(const std::u16string& S, int Level) {
    if (S.empty()) {
      FOut += "''";
      return;
    }
    bool Quoted = false;
    size_t OnLine = 0;
    for (char16_t U : S) {
      if (OnLine == StringLineLength) {
        if (Quoted) FOut += '\'';
        Quoted = false;
        FOut += " +\n";
        Indent(Level + 1);
        OnLine = 0;
      }
      if (U >= 0x20 && U < 0x7F) {
        if (!Quoted) FOut += '\'';
        Quoted = true;
        FOut += static_cast<char>(U);
        if (U == '\'') FOut += '\'';
      } else {
        if (Quoted) FOut += '\'';
        Quoted = false;
        FOut += '#' + std::to_string(U);
      }
      ++OnLine;
    }
    if (Quoted) FOut += '\'';
  }

  void BinaryText(const std::string& Bytes, int Level) {
    static const char Hex[] = "0123456789ABCDEF";
    FOut += '{';
    for (size_t i = 0; i < Bytes.size(); ++i) {
      if (i % BinaryLineBytes == 0) {
        FOut += '\n';
        Indent(Level + 1);
      }
      const uint8_t B = static_cast<uint8_t>(Bytes[i]);
      FOut += Hex[B >> 4];
      FOut += Hex[B & 15];
    }
    FOut += '}';
  }

  // The shortest text that reads back as the same value, always with a '.'
  // or an exponent so that it does not read as an integer.
  template <class T>
  static std::string FloatText(T Value) {
    if (!std::isfinite(Value)) throw EReadError("Invalid floating point value");
    char Buf[64];
    const auto R = std::to_chars(Buf, Buf + sizeof Buf, Value);
    std::string S(Buf, R.ptr);
    if (S.find_first_of(".e") == std::string::npos) S += ".0";
    return S;
  }

  static std::string CurrencyText(int64_t Scaled) {
    const uint64_t A = Scaled < 0 ? 0 - static_cast<uint64_t>(Scaled) : static_cast<uint64_t>(Scaled);
    char Frac[8];
    std::snprintf(Frac, sizeof Frac, "%04u", static_cast<unsigned>(A % CurrencyScale));
    std::string F = Frac;
    while (F.size() > 1 && F.back() == '0') F.pop_back();
    return (Scaled < 0 ? "-" : "") + std::to_string(A / CurrencyScale) + "." + F + "c";
  }

  TMemoryStream FStream;
  TReader FReader;
  std::string FOut;
  int FDepth = 0;
};

// =============================================================================
// Text to binary.

class TTextParser {
 public:
  TTextParser(const std::string& Text, TOffsetLines* OffsetLines)
      : FText(Text), FMap(OffsetLines), FWriter(FOut) {}

  std::string Run() {
    FWriter.WriteSignature();
    Object();
    if (!AtEnd()) Error("End of file expected");
    return FOut.Data();
  }

 private:
  enum class TNumberKind { Integer, Float, Single, Currency, Date };
  struct TNumber {
    TNumberKind Kind = TNumberKind::Integer;
    int64_t Int = 0;  // Integer, or Currency scaled by 10000
    double Float = 0;
    float Single = 0;
  };

  struct TNest {
    explicit TNest(TTextParser& P) : P(P) {
      if (++P.FDepth > MaxFilerNesting) P.Error("Nesting too deep");
    }
    ~TNest() { --P.FDepth; }
    TTextParser& P;
  };

  [[noreturn]] void Error(const std::string& Message) const {
    throw EParserError(Format("Line %d: %s", FLine, Message));
  }

  char Cur() const { return FPos < FText.size() ? FText[FPos] : '\0'; }
  char At(size_t Ahead) const {
    return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : '\0';
  }

  void SkipBlanks() {
    while (FPos < FText.size()) {
      const char C = FText[FPos];
      if (C == '\n') {
        ++FLine;
        ++FPos;
      } else if (C == ' ' || C == '\t' || C == '\r' || C == '\f' || C == '\v') {
        ++FPos;
      } else if (C == '/' && At(1) == '/') {
        while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
      } else {
        break;
      }
    }
  }
  bool AtEnd() {
    SkipBlanks();
    return FPos >= FText.size();
  }
  char Peek() {
    SkipBlanks();
    return Cur();
  }
  void Expect(char C) {
    if (Peek() != C) Error(Format("'%s' expected", C));
    ++FPos;
  }
  void Mark() {
    if (FMap) FMap->emplace_back(static_cast<size_t>(FOut.Position()), FLine);
  }

  // An identifier starting right here.
  std::string IdentHere() {
    if (!IsIdentStart(Cur())) Error("Identifier expected");
    const size_t Start = FPos;
    while (IsIdentChar(Cur())) ++FPos;
    if (FPos - Start > MaxShortString) Error("Identifier too long");
    return FText.substr(Start, FPos - Start);
  }
  std::string Ident() {
    Peek();
    return IdentHere();
  }
  std::string DottedIdent() {
    std::string S = Ident();
    while (Cur() == '.') {
      ++FPos;
      S += '.' + IdentHere();
    }
    if (S.size() > MaxShortString) Error("Identifier too long");
    return S;
  }
  bool PeekKeyword(const char* Keyword) {
    Peek();
    size_t End = FPos;
    while (End < FText.size() && IsIdentChar(FText[End])) ++End;
    return SameText(FText.substr(FPos, End - FPos), Keyword);
  }
  bool PeekObjectKeyword() {
    return PeekKeyword("object") || PeekKeyword("inherited") || PeekKeyword("inline");
  }
  void ExpectEnd() {
    if (!AtEnd()) return;
    // Named at the last line of the text, not the blank one after it.
    int Line = 1;
    const size_t Last = FText.find_last_not_of(" \t\r\n\f\v");
    for (size_t i = 0; Last != std::string::npos && i < Last; ++i)
      if (FText[i] == '\n') ++Line;
    FLine = Line;
    Error("'end' expected");
  }

  void Object() {
    TNest Nest(*this);
    Peek();
    Mark();
    uint8_t Flags = 0;
    if (PeekKeyword("inherited"))
      Flags = ffInherited;
    else if (PeekKeyword("inline"))
      Flags = ffInline;
    else if (!PeekKeyword("object"))
      Error("'object' expected");
    Ident();
    std::string Name, ClassName = Ident();
    const int HeaderLine = FLine;
    if (Peek() == ':') {
      ++FPos;
      Name = ClassName;
      ClassName = Ident();
    } else if (FLine == HeaderLine && IsIdentStart(Cur())) {
      // "object Name Class": the class would be read as the first property
      // and the mistake found a line later.
      Error("':' expected");
    }
    int32_t ChildPos = -1;
    if (Peek() == '[') {
      ++FPos;
      ChildPos = IntegerLiteral();
      Expect(']');
      Flags |= ffChildPos;
    }
    FWriter.WriteObjectHeader(Flags, ChildPos, ClassName, Name);
    for (ExpectEnd(); !PeekKeyword("end") && !PeekObjectKeyword(); ExpectEnd()) Property();
    FWriter.WriteListEnd();
    for (ExpectEnd(); !PeekKeyword("end"); ExpectEnd()) Object();
    FWriter.WriteListEnd();
    Ident();
  }

  void Property() {
    Peek();
    Mark();
    const std::string Path = DottedIdent();
    Expect('=');
    FWriter.WriteStr(Path);
    Value();
  }

  void Value() {
    const char C = Peek();
    if (C == '\'' || C == '#') {
      StringValue();
    } else if (C == '-' || C == '$' || IsDigit(C)) {
      const TNumber N = Number();
      switch (N.Kind) {
        case TNumberKind::Integer:
          FWriter.WriteInteger(static_cast<int32_t>(N.Int));
          break;
        case TNumberKind::Float:
          FWriter.WriteFloat(N.Float);
          break;
        case TNumberKind::Single:
          FWriter.WriteSingle(N.Single);
          break;
        case TNumberKind::Currency:
          FWriter.WriteCurrency(N.Int);
          break;
        case TNumberKind::Date:
          FWriter.WriteDate(N.Float);
          break;
      }
    } else if (C == '[') {
      SetValue();
    } else if (C == '(') {
      List();
    } else if (C == '{') {
      Binary();
    } else if (C == '<') {
      Collection();
    } else if (IsIdentStart(C)) {
      FWriter.WriteIdent(DottedIdent());
    } else if (FPos >= FText.size()) {
      Error("Unexpected end of file");
    } else {
      Error("Invalid property value");
    }
  }

  // Quoted parts and #codes with nothing between them, joined by '+'.
  void StringValue() {
    std::u16string S;
    bool Wide = false;
    for (;;) {
      if (Cur() != '\'' && Cur() != '#') Error("String expected");
      while (Cur() == '\'' || Cur() == '#') {
        if (Cur() == '\'') {
          for (++FPos;; ++FPos) {
            if (FPos >= FText.size() || Cur() == '\n' || Cur() == '\r') Error("Unterminated string");
            if (Cur() == '\'') {
              if (At(1) != '\'') break;
              ++FPos;
            }
            S += static_cast<char16_t>(static_cast<uint8_t>(Cur()));
          }
          ++FPos;
        } else {
          ++FPos;
          const uint32_t Code = CharCode();
          Wide = Wide || Code > 0xFF;
          S += static_cast<char16_t>(Code);
        }
      }
      if (Peek() != '+') break;
      ++FPos;
      Peek();
    }
    if (Wide) {
      FWriter.WriteWideString(S);
    } else {
      FWriter.WriteString(std::string(S.begin(), S.end()));
    }
  }

  uint32_t CharCode() {
    const bool Hex = Cur() == '$';
    if (Hex) ++FPos;
    uint32_t Code = 0;
    size_t Digits = 0;
    for (int V; (V = Hex ? HexValue(Cur()) : (IsDigit(Cur()) ? Cur() - '0' : -1)) >= 0; ++FPos) {
      Code = Code * (Hex ? 16 : 10) + static_cast<uint32_t>(V);
      if (Code > 0xFFFF) Error("Invalid character code");
      ++Digits;
    }
    if (Digits == 0) Error("Invalid character code");
    return Code;
  }

  int32_t IntegerLiteral() {
    Peek();
    const TNumber N = Number();
    if (N.Kind != TNumberKind::Integer) Error("Integer expected");
    return static_cast<int32_t>(N.Int);
  }

  TNumber Number() {
    TNumber N;
    const bool Neg = Cur() == '-';
    if (Neg) ++FPos;
    if (Cur() == '$') {  // a 32-bit pattern, as colours are written
      ++FPos;
      uint64_t V = 0;
      size_t Digits = 0;
      for (; HexValue(Cur()) >= 0; ++FPos, ++Digits) {
        V = V * 16 + static_cast<uint64_t>(HexValue(Cur()));
        if (Digits == 8) Error("Integer out of range");
      }
      if (Digits == 0) Error("Number expected");
      CheckNumberEnd();
      N.Int = static_cast<int32_t>(static_cast<uint32_t>(V));
      if (Neg) N.Int = -N.Int;
      if (N.Int < INT32_MIN || N.Int > INT32_MAX) Error("Integer out of range");
      return N;
    }
    const size_t Start = FPos;
    while (IsDigit(Cur())) ++FPos;
    if (FPos == Start) Error("Number expected");
    bool Real = false;
    if (Cur() == '.' && IsDigit(At(1))) {
      Real = true;
      for (++FPos; IsDigit(Cur());) ++FPos;
    }
    if ((Cur() == 'e' || Cur() == 'E') &&
        (IsDigit(At(1)) || ((At(1) == '+' || At(1) == '-') && IsDigit(At(2))))) {
      Real = true;
      for (FPos += 2; IsDigit(Cur());) ++FPos;
    }
    const std::string Text = FText.substr(Start, FPos - Start);
    char Suffix = 0;
    const char S = static_cast<char>(Cur() | 0x20);
    if ((S == 's' || S == 'c' || S == 'd') && !IsIdentChar(At(1))) {
      Suffix = S;
      ++FPos;
    }
    CheckNumberEnd();
    if (!Real && !Suffix) {
      if (Text.size() > 10) Error("Integer out of range");
      N.Int = std::stoll(Text);
      if (Neg) N.Int = -N.Int;
      if (N.Int < INT32_MIN || N.Int > INT32_MAX) Error("Integer out of range");
      return N;
    }
    switch (Suffix) {
      case 's':
        N.Kind = TNumberKind::Single;
        N.Single = ParseFloat<float>(Text, Neg);
        break;
      case 'c':
        N.Kind = TNumberKind::Currency;
        N.Int = ParseCurrency(Text, Neg);
        break;
      case 'd':
        N.Kind = TNumberKind::Date;
        N.Float = ParseFloat<double>(Text, Neg);
        break;
      default:
        N.Kind = TNumberKind::Float;
        N.Float = ParseFloat<double>(Text, Neg);
    }
    return N;
  }

  void CheckNumberEnd() {
    if (IsIdentChar(Cur()) || Cur() == '.') Error("Invalid number");
  }

  template <class T>
  T ParseFloat(const std::string& Text, bool Neg) {
    T V = 0;
    const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
    if (R.ec != std::errc() || R.ptr != Text.data() + Text.size() || !std::isfinite(V))
      Error("Invalid floating point value");
    return Neg ? -V : V;
  }

  // Exact for up to four decimals; anything else goes through a double.
  int64_t ParseCurrency(const std::string& Text, bool Neg) {
    const size_t Dot = Text.find('.');
    const size_t Decimals = Dot == std::string::npos ? 0 : Text.size() - Dot - 1;
    if (Text.find_first_of("eE") == std::string::npos && Decimals <= 4) {
      std::string Digits = Text;
      if (Dot != std::string::npos) Digits.erase(Dot, 1);
      Digits.append(4 - Decimals, '0');
      const uint64_t Max = Neg ? uint64_t(1) << 63 : (uint64_t(1) << 63) - 1;
      uint64_t V = 0;
      for (char C : Digits) {
        const uint64_t D = static_cast<uint64_t>(C - '0');
        if (V > (Max - D) / 10) Error("Currency value out of range");
        V = V * 10 + D;
      }
      return Neg ? static_cast<int64_t>(0 - V) : static_cast<int64_t>(V);
    }
    const double D = std::nearbyint(ParseFloat<double>(Text, Neg) * CurrencyScale);
    if (!(std::fabs(D) < 9.2233720368547758e18)) Error("Currency value out of range");
    return static_cast<int64_t>(D);
  }

  void SetValue() {
    ++FPos;
    std::vector<std::string> Names;
    if (Peek() != ']') {
      Names.push_back(Ident());
      while (Peek() == ',') {
        ++FPos;
        Names.push_back(Ident());
      }
    }
    Expect(']');
    FWriter.WriteSet(Names);
  }

  void List() {
    TNest Nest(*this);
    ++FPos;
    FWriter.WriteListBegin();
    while (Peek() != ')') {
      if (AtEnd()) Error("')' expected");
      Value();
    }
    ++FPos;
    FWriter.WriteListEnd();
  }

  void Binary() {
    ++FPos;
    std::string Bytes;
    int High = -1;
    for (char C; (C = Peek()) != '}'; ++FPos) {
      if (FPos >= FText.size()) Error("'}' expected");
      const int V = HexValue(C);
      if (V < 0) Error("Invalid binary value");
      if (High < 0) {
        High = V;
      } else {
        Bytes += static_cast<char>(High * 16 + V);
        High = -1;
      }
    }
    if (High >= 0) Error("Invalid binary value");
    ++FPos;
    FWriter.WriteBinary(Bytes);
  }

  void Collection() {
    TNest Nest(*this);
    ++FPos;
    FWriter.WriteValue(TValueType::vaCollection);
    while (Peek() != '>') {
      if (AtEnd()) Error("'>' expected");
      Mark();
      if (!PeekKeyword("item")) Error("'item' expected");
      Ident();
      if (Peek() == '[') {
        ++FPos;
        FWriter.WriteInteger(IntegerLiteral());
        Expect(']');
      }
      FWriter.WriteListBegin();
      for (ExpectEnd(); !PeekKeyword("end"); ExpectEnd()) Property();
      Ident();
      FWriter.WriteListEnd();
    }
    ++FPos;
    FWriter.WriteListEnd();
  }

  const std::string& FText;
  TOffsetLines* FMap;
  TMemoryStream FOut;
  TWriter FWriter;
  size_t FPos = 0;
  int FLine = 1;
  int FDepth = 0;
};

}  // namespace

std::string ObjectTextToBinary(const std::string& Text, TOffsetLines* OffsetLines) {
  if (OffsetLines) OffsetLines->clear();
  return TTextParser(Text, OffsetLines).Run();
}

std::string ObjectBinaryToText(const std::string& Binary) { return TTextPrinter(Binary).Run(); }

int TextLineOfOffset(const TOffsetLines& OffsetLines, int64_t Offset) {
  if (Offset < 0) return 0;
  auto It = std::upper_bound(
      OffsetLines.begin(), OffsetLines.end(), static_cast<size_t>(Offset),
      [](size_t O, const std::pair<size_t, int>& E) { return O < E.first; });
  return It == OffsetLines.begin() ? 0 : std::prev(It)->second;
}
