#pragma once

#include <functional>
#include <type_traits>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

// Answers the next modal window as a user would, once it is shown: `answer` gets it as a `T`.
template <class T = QDialog>
void WhenShown(const std::function<void(std::type_identity_t<T>&)>& answer)
{
    QTimer::singleShot(0, [answer] {
        auto* shown = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr) << "no " << T::staticMetaObject.className() << " shown";
        answer(*shown);
    });
}
