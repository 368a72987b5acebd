#pragma once

#include <QByteArray>
#include <QString>

// Encodes a text-format message with `protoc --encode` against the project's status schema: an
// encoder that shares no code with nanopb, for datagrams that must be right by construction.
// Returns false with a reason in *error when protoc is missing, cannot run or rejects the text;
// a test must then fail, never skip.
bool protocEncode(const QByteArray &textFormat, QByteArray &encoded, QString *error,
                  const QString &messageType = QStringLiteral("NodeStatus"));
