#include "controls/cmp_TStringGrid.h"

#include <algorithm>

#include "controls/cmp_TApplication.h"
#include "rtl/routines_ClassBuilder.h"
#include "rtl/routines_Format.h"

const TEnumInfo GridOptionInfo{
    "TGridOption",
    {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
     "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing",
     "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"}};

namespace {
constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
constexpr TColor clHighlightText = static_cast<TColor>(0x8000000E);
constexpr TColor LineColor = 0xC0C0C0;                              // silver
constexpr TColor FixedLineColor = static_cast<TColor>(0x80000010);  // the buttons' shadow
constexpr TGridDrawState Bit(TGridDrawStateBit B) { return static_cast<TGridDrawState>(1u << B); }
}  // namespace

// --- TCustomGrid::TAxis -----------------------------------------------------

int32_t TCustomGrid::TAxis::FixedExtent() const {
  int32_t P = 0;
  for (int I = 0; I < Fixed; ++I) P += Step(I);
  return P;
}

int32_t TCustomGrid::TAxis::Start(int I) const {
  if (I < Fixed) {
    int32_t P = 0;
    for (int J = 0; J < I; ++J) P += Step(J);
    return P;
  }
  if (I < First) return -1;
  int32_t P = FixedExtent();
  for (int J = First; J < I; ++J) P += Step(J);
  return P;
}

std::vector<int> TCustomGrid::TAxis::InSight(int32_t Extent) const {
  std::vector<int> R;
  int32_t P = 0;
  auto Take = [&](int From, int To) {
    for (int I = From; I < To && P < Extent; ++I) {
      R.push_back(I);
      P += Step(I);
    }
  };
  Take(0, Fixed);
  Take(First, Count);
  return R;
}

int TCustomGrid::TAxis::CellAt(int32_t Pixel, int32_t Extent) const {
  if (Pixel < 0) return -1;
  for (int I : InSight(Extent)) {
    const int32_t S = Start(I);
    if (Pixel >= S && Pixel < S + Step(I)) return I;
  }
  return -1;
}

int32_t TCustomGrid::TAxis::MaxFirst(int32_t Extent) const {
  if (Count <= Fixed) return Fixed;
  const int32_t Room = Extent - FixedExtent();
  int F = Count - 1;
  int32_t Used = Step(F);
  while (F > Fixed && Used + Step(F - 1) <= Room) Used += Step(--F);
  return F;
}

int TCustomGrid::TAxis::FullyInSight(int32_t Extent) const {
  int N = 0;
  int32_t P = FixedExtent();
  for (int I = First; I < Count && P + Sizes[static_cast<size_t>(I)] <= Extent; P += Step(I), ++I) ++N;
  return std::max(N, 1);
}

int32_t TCustomGrid::TAxis::FirstShowing(int I, int32_t Extent) const {
  if (I < Fixed) return First;
  if (I < First) return I;
  int32_t F = First;
  auto Fits = [&](int32_t From) {
    int32_t P = FixedExtent();
    for (int J = From; J < I; ++J) P += Step(J);
    return P + Sizes[static_cast<size_t>(I)] <= Extent;
  };
  while (F < I && !Fits(F)) ++F;
  return F;
}

// --- TCustomGrid ------------------------------------------------------------

const TClassInfo& TCustomGrid::StaticClass() {
  using C = TCustomGrid;
  static const TClassInfo Info =
      TClassBuilder<C>("TCustomGrid", &TWinControl::StaticClass())
          .Enum("BorderStyle", BorderStyleInfo, &C::BorderStyle, &C::SetBorderStyle, bsSingleBorder)
          .Int("ColCount", &C::ColCount, &C::SetColCount, 5)
          .Bool("DefaultDrawing", &C::DefaultDrawing, true)
          .Int("DefaultColWidth", &C::DefaultColWidth, &C::SetDefaultColWidth, 64)
          .Int("DefaultRowHeight", &C::DefaultRowHeight, &C::SetDefaultRowHeight, 24)
          .Int("FixedCols", &C::FixedCols, &C::SetFixedCols, 1)
          .Int("FixedRows", &C::FixedRows, &C::SetFixedRows, 1)
          .Int("GridLineWidth", &C::GridLineWidth, &C::SetGridLineWidth, 1)
          .Set("Options", GridOptionInfo, &C::Options, &C::SetOptions, 0x1F)
          .Int("RowCount", &C::RowCount, &C::SetRowCount, 5)
          .Enum("ScrollBars", ScrollStyleInfo, &C::ScrollBars, &C::SetScrollBars, ssBoth)
          .Build();
  return Info;
}

TCustomGrid::TCustomGrid(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 320;
  FHeight = 120;
  FTabStop = true;
  FColor = clWindow;
  FRows.DefaultSize = 24;
  FRows.Sizes.assign(5, 24);
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  // A grid is a control, not a container for dialog navigation.
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CONTROLPARENT);
  if (FBorderStyle == bsSingleBorder) Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

void TCustomGrid::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

int32_t TCustomGrid::ClientW() const {
  RECT R{0, 0, FWidth, FHeight};
  if (FHandle) GetClientRect(FHandle, &R);
  return R.right;
}

int32_t TCustomGrid::ClientH() const {
  RECT R{0, 0, FWidth, FHeight};
  if (FHandle) GetClientRect(FHandle, &R);
  return R.bottom;
}

void TCustomGrid::SetCount(TAxis& A, int32_t V, const char* What) {
  if (V < 0 || V > 1000000) throw EInvalidGridOperation(Format("Invalid %s count %d", What, V));
  if (!IsLoading() && V <= A.Fixed && V > 0)
    throw EInvalidGridOperation(Format("Fixed %s count must be less than %s count", What, What));
  const int OldCols = FCols.Count, OldRows = FRows.Count;
  A.Resize(V);
  SizeChanged(OldCols, OldRows);
  Changed();
}

void TCustomGrid::SetFixed(TAxis& A, int32_t V, const char* What) {
  if (V < 0 || (!IsLoading() && V >= A.Count))
    throw EInvalidGridOperation(Format("Fixed %s count must be less than %s count", What, What));
  // Back to the first cell after the fixed ones, in sight from the start.
  A.Fixed = A.First = V;
  (&A == &FCols ? FCol : FRow) = V;
  Changed();
}

void TCustomGrid::SetColCount(int32_t V) { SetCount(FCols, V, "column"); }
void TCustomGrid::SetRowCount(int32_t V) { SetCount(FRows, V, "row"); }
void TCustomGrid::SetFixedCols(int32_t V) { SetFixed(FCols, V, "column"); }
void TCustomGrid::SetFixedRows(int32_t V) { SetFixed(FRows, V, "row"); }

void TCustomGrid::SetDefaultSize(TAxis& A, int32_t V) {
  if (V < 0) throw EInvalidGridOperation(Format("Invalid cell size %d", V));
  A.DefaultSize = V;
  A.Sizes.assign(static_cast<size_t>(A.Count), V);
  Changed();
}

void TCustomGrid::SetDefaultColWidth(int32_t V) { SetDefaultSize(FCols, V); }
void TCustomGrid::SetDefaultRowHeight(int32_t V) { SetDefaultSize(FRows, V); }

int32_t TCustomGrid::ColWidths(int Index) const {
  CheckCell(Index, FRows.Fixed < FRows.Count ? FRows.Fixed : 0);
  return FCols.Sizes[static_cast<size_t>(Index)];
}

int32_t TCustomGrid::RowHeights(int Index) const {
  CheckCell(0, Index);
  return FRows.Sizes[static_cast<size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int32_t V) {
  ColWidths(Index);
  if (V < 0) throw EInvalidGridOperation(Format("Invalid cell size %d", V));
  FCols.Sizes[static_cast<size_t>(Index)] = V;
  Changed();
}

void TCustomGrid::SetRowHeights(int Index, int32_t V) {
  RowHeights(Index);
  if (V < 0) throw EInvalidGridOperation(Format("Invalid cell size %d", V));
  FRows.Sizes[static_cast<size_t>(Index)] = V;
  Changed();
}

void TCustomGrid::SetOptions(TGridOptions V) {
  FOptions = V;
  FCols.FixedLines = HasOption(goFixedVertLine);
  FCols.Lines = HasOption(goVertLine);
  FRows.FixedLines = HasOption(goFixedHorzLine);
  FRows.Lines = HasOption(goHorzLine);
  Changed();
}

void TCustomGrid::SetGridLineWidth(int32_t V) {
  if (V < 0) throw EInvalidGridOperation(Format("Invalid grid line width %d", V));
  FCols.LineWidth = FRows.LineWidth = V;
  Changed();
}

void TCustomGrid::SetBorderStyle(TBorderStyle V) {
  FBorderStyle = V;
  if (!FHandle) return;
  const LONG_PTR Ex = GetWindowLongPtrA(FHandle, GWL_EXSTYLE);
  SetWindowLongPtrA(FHandle, GWL_EXSTYLE, V == bsSingleBorder ? Ex | WS_EX_CLIENTEDGE : Ex & ~WS_EX_CLIENTEDGE);
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TCustomGrid::SetScrollBars(TScrollStyle V) {
  FScrollBars = V;
  Changed();
}

void TCustomGrid::Loaded() {
  TWinControl::Loaded();
  if (FCols.Fixed >= FCols.Count && FCols.Count > 0)
    throw EInvalidGridOperation("Fixed column count must be less than column count");
  if (FRows.Fixed >= FRows.Count && FRows.Count > 0)
    throw EInvalidGridOperation("Fixed row count must be less than row count");
  Changed();
}

void TCustomGrid::ClampCurrent() {
  FCol = std::clamp(FCol, FCols.Fixed, std::max(FCols.Fixed, FCols.Count - 1));
  FRow = std::clamp(FRow, FRows.Fixed, std::max(FRows.Fixed, FRows.Count - 1));
  FCols.First = std::clamp(FCols.First, FCols.Fixed, FCols.MaxFirst(ClientW()));
  FRows.First = std::clamp(FRows.First, FRows.Fixed, FRows.MaxFirst(ClientH()));
}

void TCustomGrid::Changed() {
  if (IsLoading()) return;
  ClampCurrent();
  UpdateScrollBars();
  Invalidate();
}

void TCustomGrid::Resize() {
  if (FUpdatingScrollBars) return;
  Changed();
}

void TCustomGrid::UpdateScrollBars() {
  if (!FHandle || FUpdatingScrollBars) return;
  FUpdatingScrollBars = true;
  auto Set = [&](int Bar, TAxis& A, int32_t Extent, bool Wanted) {
    SCROLLINFO SI{sizeof SI, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 1, 0, 0};
    const int32_t Max = A.MaxFirst(Extent);
    if (Wanted && Max > A.Fixed) {
      const int Page = A.FullyInSight(Extent);
      SI.nMin = A.Fixed;
      SI.nMax = Max + Page - 1;
      SI.nPage = static_cast<UINT>(Page);
      SI.nPos = A.First;
    }
    SetScrollInfo(FHandle, Bar, &SI, TRUE);
  };
  // From a client without bars, in two passes: a bar that appears narrows
  // the client for the other.  (Bars left from before would keep each other.)
  Set(SB_VERT, FRows, ClientH(), false);
  Set(SB_HORZ, FCols, ClientW(), false);
  for (int Pass = 0; Pass < 2; ++Pass) {
    Set(SB_VERT, FRows, ClientH(), FScrollBars == ssVertical || FScrollBars == ssBoth);
    Set(SB_HORZ, FCols, ClientW(), FScrollBars == ssHorizontal || FScrollBars == ssBoth);
    ClampCurrent();
  }
  FUpdatingScrollBars = false;
}

void TCustomGrid::CheckCell(int ACol, int ARow) const {
  if (ACol < 0 || ACol >= FCols.Count || ARow < 0 || ARow >= FRows.Count)
    throw EInvalidGridOperation(Format("Grid index out of range (%d, %d)", ACol, ARow));
}

void TCustomGrid::SetFirst(TAxis& A, int32_t V, int32_t Extent) {
  V = std::clamp(V, A.Fixed, A.MaxFirst(Extent));
  if (V == A.First) return;
  A.First = V;
  UpdateScrollBars();
  Invalidate();
}

void TCustomGrid::SetLeftCol(int32_t V) { SetFirst(FCols, V, ClientW()); }
void TCustomGrid::SetTopRow(int32_t V) { SetFirst(FRows, V, ClientH()); }

void TCustomGrid::SetCol(int32_t V) {
  CheckCell(V, FRow);
  if (V != FCol) FocusCell(V, FRow);
}

void TCustomGrid::SetRow(int32_t V) {
  CheckCell(FCol, V);
  if (V != FRow) FocusCell(FCol, V);
}

bool TCustomGrid::FocusCell(int ACol, int ARow) {
  if (ACol < FCols.Fixed || ACol >= FCols.Count || ARow < FRows.Fixed || ARow >= FRows.Count) return false;
  const bool Selected = SelectCell(ACol, ARow);
  if (Selected) {
    FCol = ACol;
    FRow = ARow;
    SetFirst(FCols, FCols.FirstShowing(ACol, ClientW()), ClientW());
    SetFirst(FRows, FRows.FirstShowing(ARow, ClientH()), ClientH());
    Invalidate();
  }
  if (OnClick) OnClick(this);
  return Selected;
}

RECT TCustomGrid::CellRect(int ACol, int ARow) const {
  CheckCell(ACol, ARow);
  const int32_t X = FCols.Start(ACol), Y = FRows.Start(ARow);
  if (X < 0 || Y < 0 || X >= ClientW() || Y >= ClientH()) return RECT{};
  return RECT{X, Y, X + FCols.Sizes[static_cast<size_t>(ACol)], Y + FRows.Sizes[static_cast<size_t>(ARow)]};
}

bool TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = FCols.CellAt(X, ClientW());
  ARow = FRows.CellAt(Y, ClientH());
  if (ACol < 0 || ARow < 0) ACol = ARow = -1;
  return ACol >= 0;
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
  if (!FHandle) return;
  const RECT R = CellRect(ACol, ARow);
  InvalidateRect(FHandle, &R, FALSE);
}

void TCustomGrid::PaintCell(int ACol, int ARow, const RECT& R) {
  TGridDrawState State = 0;
  const bool Fixed = ACol < FCols.Fixed || ARow < FRows.Fixed;
  if (Fixed) {
    State |= Bit(gdFixed);
  } else {
    if (ARow == FRow && (ACol == FCol || HasOption(goRowSelect))) State |= Bit(gdSelected);
    if (ARow == FRow && ACol == FCol && Focused()) State |= Bit(gdFocused);
  }
  if (DefaultDrawing) {
    FCanvas.Font()->Assign(*FFont);
    FCanvas.Brush.Style = bsSolid;
    // The focused cell shows the focus rectangle instead of the highlight,
    // unless the options ask for both.
    const bool Highlight = (State & Bit(gdSelected)) &&
                           (!(State & Bit(gdFocused)) || HasOption(goDrawFocusSelected) || HasOption(goRowSelect));
    if (Highlight) {
      FCanvas.Brush.Color = clHighlight;
      FCanvas.Font()->Color = clHighlightText;
    } else {
      FCanvas.Brush.Color = Fixed ? clBtnFace : FColor;
    }
    FCanvas.FillRect(R);
  }
  DrawCell(ACol, ARow, R, State);
  if (!DefaultDrawing) return;
  if (Fixed) {
    RECT E = R;
    DrawEdge(FCanvas.Handle(), &E, BDR_RAISEDINNER, BF_RECT);
  }
  if ((State & Bit(gdFocused)) && !HasOption(goRowSelect)) DrawFocusRect(FCanvas.Handle(), &R);
}

void TCustomGrid::Paint(HDC DC) {
  FCanvas.SetHandle(DC);
  try {
    const int32_t W = ClientW(), H = ClientH();
    FCanvas.Brush.Style = bsSolid;
    FCanvas.Brush.Color = FColor;
    FCanvas.FillRect(RECT{0, 0, W, H});
    const std::vector<int> Cols = FCols.InSight(W), Rows = FRows.InSight(H);
    RECT RowSpan{};
    for (int R : Rows)
      for (int C : Cols) {
        const RECT Cell = CellRect(C, R);
        if (IsRectEmpty(&Cell)) continue;
        PaintCell(C, R, Cell);
        const int32_t VLine = FCols.LineAfter(C), HLine = FRows.LineAfter(R);
        const bool Fixed = C < FCols.Fixed || R < FRows.Fixed;
        FCanvas.Brush.Style = bsSolid;
        FCanvas.Brush.Color = Fixed ? FixedLineColor : LineColor;
        if (VLine) FCanvas.FillRect(RECT{Cell.right, Cell.top, Cell.right + VLine, Cell.bottom + HLine});
        if (HLine) FCanvas.FillRect(RECT{Cell.left, Cell.bottom, Cell.right, Cell.bottom + HLine});
        if (R == FRow && C >= FCols.Fixed) {
          if (IsRectEmpty(&RowSpan)) RowSpan = Cell;
          RowSpan.right = Cell.right;
        }
      }
    if (HasOption(goRowSelect) && DefaultDrawing && Focused() && !IsRectEmpty(&RowSpan))
      DrawFocusRect(DC, &RowSpan);
  } catch (const Exception& E) {
    FCanvas.SetHandle(nullptr);
    if (Application) Application->HandleException(E);
    return;
  }
  FCanvas.SetHandle(nullptr);
}

void TCustomGrid::KeyMove(WORD Key) {
  int C = FCol, R = FRow;
  const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool WholeRows = HasOption(goRowSelect);
  switch (Key) {
    case VK_UP: --R; break;
    case VK_DOWN: ++R; break;
    case VK_LEFT: --C; break;
    case VK_RIGHT: ++C; break;
    case VK_PRIOR: R -= FRows.FullyInSight(ClientH()); break;
    case VK_NEXT: R += FRows.FullyInSight(ClientH()); break;
    case VK_HOME:
      if (Ctrl || WholeRows) R = FRows.Fixed; else C = FCols.Fixed;
      break;
    case VK_END:
      if (Ctrl || WholeRows) R = FRows.Count - 1; else C = FCols.Count - 1;
      break;
    case VK_TAB:
      if (!HasOption(goTabs)) return;
      if (GetKeyState(VK_SHIFT) < 0) {
        if (--C < FCols.Fixed) C = FCols.Count - 1, --R;
      } else if (++C >= FCols.Count) {
        C = FCols.Fixed, ++R;
      }
      break;
    default:
      return;
  }
  C = std::clamp(C, FCols.Fixed, std::max(FCols.Fixed, FCols.Count - 1));
  R = std::clamp(R, FRows.Fixed, std::max(FRows.Fixed, FRows.Count - 1));
  if (C != FCol || R != FRow) FocusCell(C, R);
}

void TCustomGrid::Scroll(TAxis& A, int Bar, WORD Code) {
  const int32_t Extent = Bar == SB_VERT ? ClientH() : ClientW();
  SCROLLINFO SI{sizeof SI, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(FHandle, Bar, &SI);
  int32_t F = A.First;
  switch (Code) {
    case SB_LINEUP: --F; break;
    case SB_LINEDOWN: ++F; break;
    case SB_PAGEUP: F -= A.FullyInSight(Extent); break;
    case SB_PAGEDOWN: F += A.FullyInSight(Extent); break;
    case SB_TOP: F = A.Fixed; break;
    case SB_BOTTOM: F = A.MaxFirst(Extent); break;
    case SB_THUMBTRACK:
      if (!HasOption(goThumbTracking)) return;
      F = SI.nTrackPos;
      break;
    case SB_THUMBPOSITION: F = SI.nTrackPos; break;
    default: return;
  }
  SetFirst(A, F, Extent);
}

LRESULT TCustomGrid::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  static const UINT SelectMsg = RegisterWindowMessageA(GridSelectMessage);
  static const UINT SelectionMsg = RegisterWindowMessageA(GridSelectionMessage);
  if (Msg == SelectMsg) return FocusCell(LOWORD(WParam), HIWORD(WParam)) ? 1 : 0;
  if (Msg == SelectionMsg) return MAKELRESULT(FCol, FRow);
  switch (Msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (HasOption(goTabs) ? DLGC_WANTTAB : 0);
    case WM_LBUTTONDOWN: {
      if (CanFocus() && !Focused()) ::SetFocus(FHandle);
      int C, R;
      if (MouseToCell(static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam)), C, R)) FocusCell(C, R);
      return 0;
    }
    case WM_LBUTTONUP:
      // The click was the selection (OnClick fired there).
      return 0;
    case WM_KEYDOWN: {
      WORD Key = static_cast<WORD>(WParam);
      if (DoKeyDown(Key)) KeyMove(Key);
      return 0;
    }
    case WM_MOUSEWHEEL:
      KeyMove(static_cast<short>(HIWORD(WParam)) > 0 ? VK_UP : VK_DOWN);
      return 0;
    case WM_VSCROLL:
      if (LParam) break;
      Scroll(FRows, SB_VERT, LOWORD(WParam));
      return 0;
    case WM_HSCROLL:
      if (LParam) break;
      Scroll(FCols, SB_HORZ, LOWORD(WParam));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();  // the focus rectangle
      break;
    default:
      break;
  }
  return TWinControl::WndProc(Msg, WParam, LParam);
}

// --- TCustomDrawGrid --------------------------------------------------------

const TClassInfo& TCustomDrawGrid::StaticClass() {
  static const TClassInfo Info = TClassBuilder<TCustomDrawGrid>("TCustomDrawGrid", &TCustomGrid::StaticClass())
                                     .Event("OnDrawCell", &TCustomDrawGrid::OnDrawCell)
                                     .Event("OnSelectCell", &TCustomDrawGrid::OnSelectCell)
                                     .Build();
  return Info;
}

void TCustomDrawGrid::DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, Rect, State);
}

bool TCustomDrawGrid::SelectCell(int ACol, int ARow) {
  bool CanSelect = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, CanSelect);
  return CanSelect;
}

// --- TStringGrid ------------------------------------------------------------

const TClassInfo& TStringGrid::StaticClass() {
  static const TClassInfo Info =
      TClassBuilder<TStringGrid>("TStringGrid", &TCustomDrawGrid::StaticClass()).Creatable().Build();
  return Info;
}

TStringGrid::TStringGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) { SizeChanged(0, 0); }

void TStringGrid::SizeChanged(int, int) {
  FCells.resize(static_cast<size_t>(RowCount()));
  for (auto& Row : FCells) Row.resize(static_cast<size_t>(ColCount()));
}

TStringGrid::TCell& TStringGrid::CellAt(int ACol, int ARow) const {
  CheckCell(ACol, ARow);
  return FCells[static_cast<size_t>(ARow)][static_cast<size_t>(ACol)];
}

const std::string& TStringGrid::Cells(int ACol, int ARow) const { return CellAt(ACol, ARow).Text; }

void TStringGrid::SetCells(int ACol, int ARow, const std::string& S) {
  CellAt(ACol, ARow).Text = S;
  InvalidateCell(ACol, ARow);
}

void* TStringGrid::Objects(int ACol, int ARow) const { return CellAt(ACol, ARow).Object; }

void TStringGrid::SetObjects(int ACol, int ARow, void* Obj) { CellAt(ACol, ARow).Object = Obj; }

void TStringGrid::DrawCell(int ACol, int ARow, const RECT& Rect, TGridDrawState State) {
  if (DefaultDrawing) Canvas().TextRect(Rect, Rect.left + 2, Rect.top + 2, Cells(ACol, ARow));
  TCustomDrawGrid::DrawCell(ACol, ARow, Rect, State);
}
