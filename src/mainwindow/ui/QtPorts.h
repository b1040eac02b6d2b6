// The desktop program's message boxes and file dialogs: Qt implementations of
// the ports every window asks through.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "common/FileDialogPort.h"
#include "common/MessageBoxPort.h"

class QWidget;

namespace utm {

/// A modal QMessageBox over `parent`; an empty title shows "UTM".
class QtMessageBox : public MessageBoxPort {
  public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    using MessageBoxPort::Show;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title, MsgDefault defaultButton) override;

  private:
    QWidget* parent_;
};

/// Qt's name filters from the dialog filter "desc|pattern|desc|pattern":
/// "desc (pattern)" per pair, in order; ';' between patterns becomes a blank.
/// Each description shows once: "*.csv (Excel Files)" with "*.csv" gives
/// "Excel Files (*.csv)", and a description that ends with its patterns in
/// parentheses ("Excel Files (*.csv)") is kept as it is, with blanks for
/// the ';' between them ("GIS Files (*.gpx;*.kml)"). A description
/// without its pattern at the end is left out.
QStringList QtNameFilters(const std::string& filter);

/// A modal, non-native QFileDialog over `parent`. Open accepts the name of a
/// file that does not exist; Save neither asks before replacing a file nor
/// adds an extension.
class QtFileDialog : public FileDialogPort {
  public:
    explicit QtFileDialog(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> Show(const FileDialogRequest& request) override;

  private:
    QWidget* parent_;
};

}  // namespace utm
