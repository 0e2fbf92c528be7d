// The byte form in which the property saver keeps a whole component or a
// persistent sub-object, and the names by which it keeps component
// references.
#pragma once

#include <QByteArray>
#include <QString>

class QObject;
class TComponent;

// The published state of an object as bytes: a signature line, then one line
// "path=value" per published property (sub-objects such as fonts by dotted
// paths, string lists as their text, references by name), UTF-8, with "%",
// CR, LF and other control characters written as "%" and two hex digits.
// Events, collections, read-only values and the component's Name are left
// out. `root` is the component whose own components references are named
// without their owner.
QByteArray StreamObjectProperties(const QObject* object, const TComponent* root);
// Reads such bytes back into the object. Lines naming no property of the
// object are skipped; bytes without the signature raise EConvertError, as
// does a value that does not convert to its property.
void ReadObjectProperties(QObject* object, const QByteArray& bytes, TComponent* root);

// A reference as text: the component's name, preceded by its owner's name
// and "." when the owner is not `root` (and has a name).
QString ComponentReferenceName(const TComponent* component, const TComponent* root);
// The component such a text names: without ".", a component of `root` (or
// `root` itself); with ".", a window of the application named exactly by the
// part before the ".", and its component named by the rest. None when
// nothing is found.
TComponent* FindComponentReference(const QString& name, TComponent* root);
