#pragma once
// Answers the next file dialog of a window test and records what it offered.

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace testing_support {

// Accepts the next file dialog with `choice`, a file name in the directory offered or an
// absolute path, or cancels it when `choice` is empty. Records the file name, default
// suffix and filters the dialog offered.
class FileDialogAnswerer : public QObject {
public:
    explicit FileDialogAnswerer(QString choice) : choice_(std::move(choice))
    {
        connect(&poll_, &QTimer::timeout, this, [this] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (shown_ == 0) {
                offered_ = QFileInfo(dialog->selectedFiles().value(0)).fileName();
                suffix_ = dialog->defaultSuffix();
                filters_ = dialog->nameFilters();
            }
            shown_ = 1;
            if (choice_.isEmpty()) {
                poll_.stop();
                dialog->reject();
                return;
            }
            // Typed into the name field, in the chosen folder: selectFile() leaves the field
            // alone once it has the focus.
            const QFileInfo choice(choice_);
            if (choice.isAbsolute() && dialog->directory() != choice.dir())
                dialog->setDirectory(choice.dir());
            if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                field->setText(choice.fileName());
            const QFileInfo selected(dialog->selectedFiles().value(0));
            if (choice.isAbsolute() ? selected != choice : selected.fileName() != choice_)
                return;
            poll_.stop();
            QMetaObject::invokeMethod(dialog, "accept");
        });
        poll_.start(20);
    }
    int Shown() const { return shown_; }
    QString Offered() const { return offered_; }
    QString OfferedSuffix() const { return suffix_; }
    QStringList OfferedFilters() const { return filters_; }

private:
    QString choice_;
    QTimer poll_;
    int shown_ = 0;
    QString offered_;
    QString suffix_;
    QStringList filters_;
};

} // namespace testing_support
