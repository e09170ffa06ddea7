// The print preview window: buttons, the sheet view and the status line.
// Each sheet is recorded into an enhanced metafile made against the
// printer's device context, by the same drawing code that prints, and
// played scaled into the view. The rules (moves, zoom, texts) live in
// preview.cpp; this file moves values between them and the window.
#include "preview_window.h"

#include <windows.h>

#include "../jobs/job_runner.h"
#include "preview.h"
#include "../common/program_instance_win32.h"
#include "../common/wide_names_win32.h"
#include "window_parts_win32.h"
#include "../analysis/page_index.h"
#include "../analysis/page_selection.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../resources/resource.h"

namespace {

const char kViewClass[] = "RavlenSheetView";
// The property under which the view keeps the picture of its sheet, so that
// tools that read windows can read the sheet too.
const char kSheetProperty[] = "RavlenSheet";
enum {
    kWalkTimer = 1,
    kWalkSliceMs = 30, // walking a long file, between two looks at the queue
    kWalkSheetsAtOnce = 4,
    kScrollLine = 40 // pixels a scroll-bar arrow moves
};

struct PreviewState {
    PreviewDocument doc;
    HWND window;
    HWND view;
    bool open;
    bool printing; // the sheets' file and text state belong to the print job meanwhile
    int sheet;
    PreviewZoom zoom;
    int scrollX, scrollY;
    HENHMETAFILE picture;
    bool pictureComplete; // recorded after the walk and count were done
};

PreviewState* state; // the one preview open

HWND Item(int id) {
    return GetDlgItem(state->window, id);
}

// .01 mm from the drawing's units, for the picture's frame.
LONG Hundredths(int units, int dpi) {
    return dpi > 0 ? MulDiv(units, 2540, dpi) : 0;
}

void RecordSheet() {
    if (state->picture)
        DeleteEnhMetaFile(state->picture);
    state->picture = nullptr;
    const SheetFrame& f = state->doc.frame;
    RECT frame = {Hundredths(f.left, f.dpiX), Hundredths(f.top, f.dpiY),
                  Hundredths(f.right, f.dpiX), Hundredths(f.bottom, f.dpiY)};
    HDC meta = CreateEnhMetaFileA(static_cast<HDC>(state->doc.reference), nullptr, &frame,
                                  "Ravlen\0Sheet\0");
    if (!meta)
        return;
    DrawPreviewSheet(&state->doc, state->sheet, meta);
    state->picture = CloseEnhMetaFile(meta);
    state->pictureComplete = PreviewComplete(state->doc);
    SetPropA(state->view, kSheetProperty, state->picture);
}

void ShowSheetStatus() {
    char text[kMessageSize];
    PreviewStatusText(state->doc, state->sheet, text, sizeof text);
    SetDlgItemTextA(state->window, IDC_PREVIEW_STATUS, text);
    int count = PreviewSheetCount(state->doc);
    bool more = state->sheet + 1 < count || !PreviewSheetsKnown(state->doc);
    EnableWindow(Item(IDC_PREVIEW_FIRST), state->sheet > 0);
    EnableWindow(Item(IDC_PREVIEW_PREVIOUS), state->sheet > 0);
    EnableWindow(Item(IDC_PREVIEW_NEXT), more);
    EnableWindow(Item(IDC_PREVIEW_LAST), state->sheet + 1 < count);
}

SheetPlacement Placement() {
    RECT client;
    GetClientRect(state->view, &client);
    const SheetFrame& f = state->doc.frame;
    HDC screen = GetDC(state->view);
    int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(state->view, screen);
    double width = f.dpiX > 0 ? static_cast<double>(f.right - f.left) / f.dpiX : 8.5;
    double height = f.dpiY > 0 ? static_cast<double>(f.bottom - f.top) / f.dpiY : 11;
    return PlaceSheet(state->zoom, client.right, client.bottom, width, height, dpiX, dpiY,
                      state->scrollX, state->scrollY);
}

void SetScrollBar(int bar, int content, int page, int position) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = content - 1;
    info.nPage = static_cast<UINT>(page < 0 ? 0 : page);
    info.nPos = position;
    SetScrollInfo(state->view, bar, &info, TRUE);
}

void UpdateView() {
    SheetPlacement p = Placement();
    state->scrollX = p.scrollX;
    state->scrollY = p.scrollY;
    RECT client;
    GetClientRect(state->view, &client);
    SetScrollBar(SB_HORZ, p.contentWidth, client.right, p.scrollX);
    SetScrollBar(SB_VERT, p.contentHeight, client.bottom, p.scrollY);
    InvalidateRect(state->view, nullptr, TRUE);
}

void ShowSheet(int sheet) {
    state->sheet = sheet;
    RecordSheet();
    ShowSheetStatus();
    UpdateView();
}

void Move(PreviewMove move) {
    int count = PreviewSheetCount(state->doc);
    int target = SheetAfterMove(move, state->sheet, count, PreviewSheetsKnown(state->doc));
    // The next sheet of a file still being walked is walked to at once.
    while (target >= PreviewSheetCount(state->doc) && !PreviewSheetsKnown(state->doc))
        WalkPreview(&state->doc, 1);
    if (target >= PreviewSheetCount(state->doc))
        target = PreviewSheetCount(state->doc) - 1;
    ShowSheet(target);
}

void Zoom(PreviewZoom zoom) {
    state->zoom = zoom;
    state->scrollX = state->scrollY = 0;
    UpdateView();
}

void OnWalkTimer() {
    if (state->printing)
        return;
    DWORD started = GetTickCount();
    bool complete = PreviewComplete(state->doc);
    while (!complete && GetTickCount() - started < kWalkSliceMs)
        complete = WalkPreview(&state->doc, kWalkSheetsAtOnce);
    if (complete) {
        KillTimer(state->window, kWalkTimer);
        // Page totals and DOS characters are right only now.
        if (!state->pictureComplete) {
            RecordSheet();
            InvalidateRect(state->view, nullptr, TRUE);
        }
    }
    ShowSheetStatus();
}

void ChoosePages() {
    if (!PreviewSelectsPages(state->doc))
        return;
    int count = static_cast<int>(state->doc.analysis->pageCount);
    bool chosen = SelectPages(state->doc.analysis->file, 1, count, count);
    // The dialog belongs to the main window, which it enables when it ends.
    EnableWindow(GetWindow(state->window, GW_OWNER), FALSE);
    SetForegroundWindow(state->window);
    if (!chosen)
        return;
    std::vector<bool> selected(static_cast<size_t>(count), false);
    for (long i = 0; i <= PageIndex.lastIndex && i < count; ++i)
        selected[static_cast<size_t>(i)] = PageIndex.entries[i].selected != 0;
    ChoosePreviewPages(&state->doc, selected);
    ShowSheet(0);
}

void PrintFromPreview() {
    // The print job draws with the same text code and reads the same kind of
    // state; the window waits meanwhile and the walk pauses.
    state->printing = true;
    EnableWindow(state->window, FALSE);
    Batch batch = SingleFileBatch(state->doc.path, state->window);
    RunBatch(&batch);
    EnableWindow(state->window, TRUE);
    state->printing = false;
    SetForegroundWindow(state->window);
}

void SavePlace() {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(state->window, &placement))
        return;
    const RECT& r = placement.rcNormalPosition;
    SavePreviewPlace(
        {r.left, r.top, r.right - r.left, r.bottom - r.top, placement.showCmd == SW_SHOWMAXIMIZED});
}

void Close() {
    SavePlace();
    state->open = false;
}

void LayOutControls() {
    RECT client, button;
    GetClientRect(state->window, &client);
    GetWindowRect(Item(IDCANCEL), &button);
    MapWindowPoints(nullptr, state->window, reinterpret_cast<POINT*>(&button), 2);
    RECT status;
    GetWindowRect(Item(IDC_PREVIEW_STATUS), &status);
    int statusHeight = status.bottom - status.top;
    int top = button.bottom + button.top;
    int viewHeight = client.bottom - top - statusHeight - 2 * button.top;
    MoveWindow(state->view, 0, top, client.right, viewHeight > 0 ? viewHeight : 0, TRUE);
    MoveWindow(Item(IDC_PREVIEW_STATUS), button.top, client.bottom - statusHeight - button.top,
               client.right - 2 * button.top, statusHeight, TRUE);
    UpdateView();
}

void PlaceWindow() {
    PreviewPlace place;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (RestoredPreviewPlace(screenWidth, screenHeight, &place)) {
        MoveWindow(state->window, place.left, place.top, place.width, place.height, FALSE);
        if (place.maximised)
            ShowWindow(state->window, SW_MAXIMIZE);
        return;
    }
    // First time: most of the screen, centred.
    int width = screenWidth * 3 / 4, height = screenHeight * 7 / 8;
    MoveWindow(state->window, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height,
               FALSE);
}

void OnInitDialog(HWND window) {
    state->window = window;
    state->view = GetDlgItem(window, IDC_PREVIEW_VIEW);
    char title[kMessageSize];
    FormatText(title, sizeof title, LoadText(kTextPreviewTitle), FileNameOf(state->doc.path));
    SetWindowName(window, title);
    EnableWindow(Item(IDC_PREVIEW_PAGES), PreviewSelectsPages(state->doc));
    bool sheets = state->doc.kind != kPreviewRaw && state->doc.kind != kPreviewPlain;
    for (int id : {IDC_PREVIEW_WHOLE, IDC_PREVIEW_WIDTH, IDC_PREVIEW_ACTUAL})
        EnableWindow(Item(id), sheets);
    PlaceWindow();
    LayOutControls();
    ShowSheet(0);
    if (!PreviewComplete(state->doc))
        SetTimer(window, kWalkTimer, 1, nullptr);
    SetFocus(state->view);
}

bool OnCommand(int id) {
    switch (id) {
    case IDC_PREVIEW_FIRST:
        Move(kMoveFirst);
        return true;
    case IDC_PREVIEW_PREVIOUS:
        Move(kMovePrevious);
        return true;
    case IDC_PREVIEW_NEXT:
        Move(kMoveNext);
        return true;
    case IDC_PREVIEW_LAST:
        Move(kMoveLast);
        return true;
    case IDC_PREVIEW_WHOLE:
        Zoom(kZoomWholeSheet);
        return true;
    case IDC_PREVIEW_WIDTH:
        Zoom(kZoomSheetWidth);
        return true;
    case IDC_PREVIEW_ACTUAL:
        Zoom(kZoomActualSize);
        return true;
    case IDC_PREVIEW_PAGES:
        ChoosePages();
        return true;
    case IDC_PREVIEW_PRINT:
        PrintFromPreview();
        return true;
    case IDCANCEL:
        Close();
        return true;
    }
    return false;
}

INT_PTR CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (!state)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return FALSE; // the focus is set
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_SIZE:
        if (state->view)
            LayOutControls();
        return TRUE;
    case WM_TIMER:
        if (wParam == kWalkTimer)
            OnWalkTimer();
        return TRUE;
    case WM_CLOSE:
        Close();
        return TRUE;
    }
    return FALSE;
}

// --- The sheet view --------------------------------------------------------------

void PaintView(HWND view) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(view, &paint);
    RECT client;
    GetClientRect(view, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (state && state->picture) {
        SheetPlacement p = Placement();
        RECT sheet = {p.left, p.top, p.left + p.width, p.top + p.height};
        RECT shadow = {sheet.left + 4, sheet.top + 4, sheet.right + 4, sheet.bottom + 4};
        FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        int saved = SaveDC(dc);
        IntersectClipRect(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
        PlayEnhMetaFile(dc, state->picture, &sheet);
        RestoreDC(dc, saved);
    }
    EndPaint(view, &paint);
}

void Scroll(int bar, int code) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(state->view, bar, &info);
    int position = info.nPos;
    int page = static_cast<int>(info.nPage);
    switch (code) {
    case SB_LINEUP:
        position -= kScrollLine;
        break;
    case SB_LINEDOWN:
        position += kScrollLine;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    }
    (bar == SB_HORZ ? state->scrollX : state->scrollY) = position;
    UpdateView();
}

LRESULT CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintView(view);
        return 0;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (state)
            Scroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        if (state)
            Scroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(view);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_DESTROY:
        RemovePropA(view, kSheetProperty);
        break;
    }
    return DefWindowProcA(view, message, wParam, lParam);
}

bool RegisterViewClass() {
    WNDCLASSA existing;
    if (GetClassInfoA(ProgramInstance, kViewClass, &existing))
        return true;
    WNDCLASSA view = {};
    view.lpfnWndProc = ViewProc;
    view.hInstance = ProgramInstance;
    view.hCursor = LoadCursor(nullptr, IDC_ARROW);
    view.lpszClassName = kViewClass;
    return RegisterClassA(&view) != 0;
}

// Keys that page through the sheets wherever the focus is in the window.
bool PreviewKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN ||
        (msg.hwnd != state->window && !IsChild(state->window, msg.hwnd)))
        return false;
    switch (msg.wParam) {
    case VK_PRIOR:
        Move(kMovePrevious);
        return true;
    case VK_NEXT:
        Move(kMoveNext);
        return true;
    case VK_HOME:
        Move(kMoveFirst);
        return true;
    case VK_END:
        Move(kMoveLast);
        return true;
    case VK_UP:
    case VK_DOWN:
        if (msg.hwnd != state->view)
            return false;
        Scroll(SB_VERT, msg.wParam == VK_UP ? SB_LINEUP : SB_LINEDOWN);
        return true;
    }
    return false;
}

void RunWindow(HWND owner) {
    HWND window =
        CreateDialogParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_PREVIEW), owner, PreviewProc, 0);
    if (!window)
        return;
    bool ownerEnabled = owner && IsWindowEnabled(owner);
    if (ownerEnabled)
        EnableWindow(owner, FALSE);
    if (!IsZoomed(window))
        ShowWindow(window, SW_SHOW);
    state->open = true;
    MSG msg;
    int got = 0;
    while (state->open && (got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        if (PreviewKey(msg) || IsDialogMessageA(window, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // The owner takes the activation back before the window goes.
    if (ownerEnabled)
        EnableWindow(owner, TRUE);
    KillTimer(window, kWalkTimer);
    DestroyWindow(window);
    if (got == 0)
        PostQuitMessage(static_cast<int>(msg.wParam));
}

} // namespace

void RunPreview(WindowRef owner, const char* path) {
    BatchSource source;
    if (!source.claimed || state || !RegisterViewClass())
        return;
    PreviewState preview = PreviewState();
    if (!OpenPreview(path, &preview.doc))
        return;
    state = &preview;
    RunWindow(AsWindow(owner));
    if (preview.picture)
        DeleteEnhMetaFile(preview.picture);
    ClosePreview(&preview.doc);
    state = nullptr;
}
