#include "rtl/cmp_TPicture.h"

#include "rtl/cmp_TFiler.h"
#include "rtl/cmp_TStream.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_LittleEndian.h"

namespace {
constexpr const char* BitmapClass = "TBitmap";
constexpr size_t BmpFileHeaderSize = 14;

void CheckBitmap(const std::string& Bmp) {
  if (!Bmp.empty() && (Bmp.size() < BmpFileHeaderSize || Bmp[0] != 'B' || Bmp[1] != 'M'))
    throw EReadError("Bitmap image is not valid");
}
}  // namespace

const TClassInfo& TPicture::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TPicture>("TPicture", &TPersistent::StaticClass()).Build();
  return Info;
}

void TPicture::Clear() { SetGraphic("", ""); }

void TPicture::SetBitmap(const std::string& Bmp) {
  CheckBitmap(Bmp);
  SetGraphic(BitmapClass, Bmp);
}

void TPicture::SetGraphic(const std::string& ClassName, const std::string& Data) {
  if (ClassName.size() > 255) throw EWriteError("Invalid graphic class name");
  FClassName = ClassName;
  FData = ClassName.empty() ? std::string() : Data;
  Changed();
}

void TPicture::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); },
      !Empty());
}

// Data block: length:uint8 classname, then for TBitmap size:uint32 bmpfile,
// for any other class the rest of the block.
void TPicture::ReadData(TStream& Stream) {
  const int64_t Size = Stream.Size() - Stream.Position();
  uint8_t Len = 0;
  Stream.ReadBuffer(&Len, 1);
  std::string Name(Len, '\0');
  Stream.ReadBuffer(Name.data(), Len);
  int64_t Left = Size - 1 - Len;
  std::string Data;
  if (SameText(Name, BitmapClass)) {
    uint8_t C[4];
    Stream.ReadBuffer(C, 4);
    const uint32_t Count = GetLE<uint32_t>(C);
    if (Count != static_cast<uint64_t>(Left - 4)) throw EReadError("Bitmap image is not valid");
    Data.resize(Count);
    Stream.ReadBuffer(Data.data(), Count);
    CheckBitmap(Data);
    Name = BitmapClass;
  } else {
    if (Name.empty() && Left > 0) throw EReadError("Invalid property value");
    Data.resize(static_cast<size_t>(Left));
    Stream.ReadBuffer(Data.data(), Data.size());
  }
  SetGraphic(Name, Data);
}

void TPicture::WriteData(TStream& Stream) const {
  const uint8_t Len = static_cast<uint8_t>(FClassName.size());
  Stream.WriteBuffer(&Len, 1);
  Stream.WriteBuffer(FClassName.data(), Len);
  if (FClassName == BitmapClass) {
    const uint32_t Count = static_cast<uint32_t>(FData.size());
    uint8_t C[4];
    PutLE<uint32_t>(C, Count);
    Stream.WriteBuffer(C, 4);
  }
  Stream.WriteBuffer(FData.data(), FData.size());
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}
