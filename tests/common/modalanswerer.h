#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <functional>

// Answers every message box that becomes modal while it lives: clicks the button with the
// given text, or the default button, and records the box's text.
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(const QString &buttonText = QString()) : button(buttonText)
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                dialog && !qobject_cast<QMessageBox *>(dialog)) {
                texts << QStringLiteral("<dialog %1>").arg(dialog->windowTitle());
                dialog->reject(); // file dialogs are cancelled
                return;
            }
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            if (onBox)
                onBox();
            if (!picture.isEmpty()) {
                box->grab().save(picture);
                picture.clear();
            }
            QAbstractButton *target = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                if (!button.isEmpty() && b->text() == button)
                    target = b;
            }
            if (!target)
                target = box->defaultButton() ? static_cast<QAbstractButton *>(box->defaultButton())
                                              : box->buttons().value(0);
            if (target)
                target->click();
        });
        timer.start(10);
    }
    QStringList texts;
    QString picture;             // where the next box is saved as a picture, before it is answered
    std::function<void()> onBox; // called at every box, before it is answered

private:
    QString button;
    QTimer timer;
};
