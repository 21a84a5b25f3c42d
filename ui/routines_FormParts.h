// What a window of the kit does with the controls its stream made: find
// them by name, and give their pictures the program's resources.
#pragma once

#include "controls/cmp_TImage.h"
#include "rtl/routines_Format.h"

// The component Name of Form, of class T; a stream without it is an error.
template <class T>
T* FormPart(TComponent& Form, const char* Name) {
  auto* C = dynamic_cast<T*>(Form.FindComponent(Name));
  if (!C) throw EComponentError(Format("%s has no %s", Form.ClassName(), Name));
  return C;
}

// The bitmap resource Resource, unless the stream brought a picture.
inline void LoadPictureUnlessDesigned(TImage& Image, const char* Resource) {
  if (Image.Picture()->Empty()) Image.LoadFromResourceName(Resource);
}
