#pragma once

#include "services/LanSettingsRules.h"

#include <QString>

#include <string_view>

class QWidget;

using izuzez::services::MessageIcon;

// The three caption and icon pairs of the window's reports.
inline constexpr std::string_view kCaptionError = "Error";
inline constexpr std::string_view kCaptionWarning = "Warning";
inline constexpr std::string_view kCaptionConfirm = "Confirm";

// Name shown by a box without a caption: the executable's base name.
QString ApplicationTitle();

// A modal box with one OK button owned by owner. An empty caption shows ApplicationTitle().
void ShowMessage(QWidget *owner, std::string_view text, std::string_view caption, MessageIcon icon);
void ShowMessage(QWidget *owner, const izuzez::services::LanMessage &message);
