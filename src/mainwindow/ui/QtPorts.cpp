#include "mainwindow/ui/QtPorts.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace utm {

MsgAnswer QtMessageBox::Show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                             const std::string& title, MsgDefault defaultButton) {
    QMessageBox box(parent_);
    box.setWindowTitle(QString::fromStdString(title.empty() ? std::string(kAppTitle) : title));
    box.setText(QString::fromStdString(text));
    box.setIcon(icon == MsgIcon::Information ? QMessageBox::Information : QMessageBox::NoIcon);
    switch (buttons) {
        case MsgButtons::OK:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
        case MsgButtons::OKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(defaultButton == MsgDefault::Second ? QMessageBox::Cancel
                                                                     : QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(defaultButton == MsgDefault::Second ? QMessageBox::No
                                                                     : QMessageBox::Yes);
            // Closing a yes/no question without answering is the safe answer.
            box.setEscapeButton(QMessageBox::No);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return MsgAnswer::OK;
    }
}

namespace {

/// The description of a filter whose patterns are `patterns`: "Excel Files"
/// from "*.csv (Excel Files)" or "*.csv(Excel Files)", where the description
/// starts with the filter's own patterns and names the files in parentheses.
/// Any other description is kept as it is (blanks around it removed).
QString FilterDescription(const QString& description, const QStringList& patterns) {
    QString text = description.trimmed();
    for (const QString& pattern : patterns) {
        if (!text.startsWith(pattern)) continue;
        const QString rest = text.mid(pattern.size()).trimmed();
        if (rest.size() > 2 && rest.startsWith(QChar('(')) && rest.endsWith(QChar(')'))) {
            return rest.mid(1, rest.size() - 2).trimmed();
        }
    }
    return text;
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QChar('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString joined = parts[i + 1];
        joined.replace(QChar(';'), QChar(' '));
        const QStringList patterns = joined.split(QChar(' '), Qt::SkipEmptyParts);
        const QString patternList = patterns.join(QChar(' '));
        const QString named = QChar('(') + patternList + QChar(')');
        // Patterns named as the filter gives them: "(*.gpx;*.kml)".
        const QString namedAsGiven = QChar('(') + patterns.join(QChar(';')) + QChar(')');
        const QString description = FilterDescription(parts[i], patterns);
        if (description.isEmpty() || description == patternList) {
            result << patternList;  // the patterns are all it says
        } else if (description.endsWith(named)) {
            result << description;  // it names its patterns already
        } else if (description.endsWith(namedAsGiven)) {
            result << description.chopped(namedAsGiven.size()) + named;
        } else {
            result << description + QChar(' ') + named;
        }
    }
    return result;
}

std::optional<std::string> QtFileDialog::Show(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, QString::fromStdString(request.title));
    // Qt's own dialog on every platform: the native ones may insist on an
    // existing file or confirm a replacement themselves.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(request.action == FileDialogAction::Save ? QFileDialog::AcceptSave
                                                                  : QFileDialog::AcceptOpen);
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const bool inRange = request.filterIndex >= 1 && request.filterIndex <= filters.size();
        dialog.selectNameFilter(filters.at(inRange ? request.filterIndex - 1 : 0));
    }
    const QString start = QFile::decodeName(request.fileName.c_str());
    const QString folder = QFile::decodeName(request.initialFolder.c_str());
    if (!folder.isEmpty() && QDir(folder).exists()) {
        dialog.setDirectory(folder);
    } else if (!start.isEmpty() && QFileInfo(start).dir().exists()) {
        dialog.setDirectory(QFileInfo(start).dir());
    }
    if (!start.isEmpty()) dialog.selectFile(start);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(QDir::toNativeSeparators(chosen.first())).toStdString();
}

}  // namespace utm
