#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
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
            if (box == escaped)
                return; // Escape did not close it: no second answer
            texts << box->text();
            if (onBox)
                onBox();
            if (!picture.isEmpty()) {
                box->grab().save(picture);
                picture.clear();
            }
            if (escape) {
                escaped = box;
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(box, &key);
                return;
            }
            QAbstractButton *target = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                if (!button.isEmpty() && QString(b->text()).remove(QLatin1Char('&')) == button)
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
    bool escape = false;         // Escape pressed instead of a button, as a user backs out

private:
    QString button;
    QTimer timer;
    QPointer<QMessageBox> escaped;
};
