#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QLabel>

// A label text of the program's own that follows a switch of the language: the label keeps the
// German source (and its one argument) and is translated again.
inline bool retranslateText(QLabel *label)
{
    const QByteArray source = label->property("textSource").toByteArray();
    if (source.isEmpty())
        return false;
    const QString text = QCoreApplication::translate("MainWindow", source.constData());
    const QString arg = label->property("textArg").toString();
    label->setText(arg.isEmpty() ? text : text.arg(arg));
    return true;
}

inline void setTranslatedText(QLabel *label, const char *source, const QString &arg = QString())
{
    label->setProperty("textSource", QByteArray(source));
    label->setProperty("textArg", arg);
    if (!retranslateText(label))
        label->clear();
}

// A value (a number, a name the device reports): the same in every language.
inline void setValueText(QLabel *label, const QString &text)
{
    label->setProperty("textSource", QByteArray());
    label->setText(text);
}
