#pragma once

#include <QString>

// Asks for the super administrator's password in an input box with prompt and title; true
// when the typed text is that password. Tells the user when the account is missing or the
// password is wrong. *typed, when given, receives the password.
bool VerifySuperAdminPassword(
    const QString& prompt = QStringLiteral("请输入超级管理员密码,默认超管密码"),
    const QString& title = QStringLiteral("超管"), QString* typedPassword = nullptr);
