// The enumerations and sets that published properties use, registered with
// the meta-object system so that their member names are known by name.
#pragma once

#include <QFlags>
#include <QObject>

namespace Vcl {
Q_NAMESPACE

enum TFontPitch { fpDefault, fpVariable, fpFixed };
Q_ENUM_NS(TFontPitch)

enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
Q_ENUM_NS(TAlign)

enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
Q_DECLARE_FLAGS(TAnchors, TAnchorKind)
Q_FLAG_NS(TAnchors)

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
Q_ENUM_NS(TWindowState)

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
Q_ENUM_NS(TPosition)

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
Q_ENUM_NS(TFormBorderStyle)

enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
Q_DECLARE_FLAGS(TBorderIcons, TBorderIcon)
Q_FLAG_NS(TBorderIcons)

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(TBevelShape)

enum TBevelStyle { bsLowered, bsRaised };
Q_ENUM_NS(TBevelStyle)

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
Q_ENUM_NS(TScrollStyle)

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
Q_ENUM_NS(TCheckBoxState)

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
Q_ENUM_NS(TButtonLayout)

}  // namespace Vcl

Q_DECLARE_OPERATORS_FOR_FLAGS(Vcl::TFontStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(Vcl::TAnchors)
Q_DECLARE_OPERATORS_FOR_FLAGS(Vcl::TBorderIcons)

// Named unqualified everywhere; the namespace exists for the meta-object system.
using Vcl::TFontPitch;
using enum Vcl::TFontPitch;
using Vcl::TFontStyle;
using enum Vcl::TFontStyle;
using Vcl::TAlign;
using enum Vcl::TAlign;
using Vcl::TAnchorKind;
using enum Vcl::TAnchorKind;
using Vcl::TWindowState;
using enum Vcl::TWindowState;
using Vcl::TPosition;
using enum Vcl::TPosition;
using Vcl::TFormBorderStyle;
using enum Vcl::TFormBorderStyle;
using Vcl::TBorderIcon;
using enum Vcl::TBorderIcon;
using Vcl::TBevelCut;
using enum Vcl::TBevelCut;
using Vcl::TBevelShape;
using enum Vcl::TBevelShape;
using Vcl::TBevelStyle;
using enum Vcl::TBevelStyle;
using Vcl::TAlignment;
using enum Vcl::TAlignment;
using Vcl::TTextLayout;
using enum Vcl::TTextLayout;
using Vcl::TScrollStyle;
using enum Vcl::TScrollStyle;
using Vcl::TCheckBoxState;
using enum Vcl::TCheckBoxState;
using Vcl::TButtonLayout;
using enum Vcl::TButtonLayout;
using Vcl::TAnchors;
using Vcl::TBorderIcons;
using Vcl::TFontStyles;
