#pragma once

// Texts the status window and the about box share.
inline constexpr const char* kProductVersion = "Wendrell v1.1";
inline constexpr const char* kProductSubtitle = "Printers by Computer Name";
inline constexpr const char* kMakerNotice =
    "KELVANE Wendrell connects the network printers that your administrator has assigned to "
    "this computer. Copyright (c) KELVANE. All rights reserved.";

class QFont;
class QWidget;

// The forms' font, "MS Sans Serif" 11 pixels high, with look-alikes where it is missing.
QFont FormFont();
// A fixed-size dialog frame with a close box only, and the forms' font.
void SetDialogFrame(QWidget* form, int clientWidth, int clientHeight);

// Registers the shared pictures (":/pictures/logo.png", ":/pictures/background.png").
void InitProductPictures();
