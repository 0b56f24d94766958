#pragma once

// Indexes of the 57 vocabulary words.
enum WordId : int {
    wDecrypt = 0,
    wEncrypt = 1,
    wBoth = 2,
    wLength = 3,
    wByte = 4,
    wRecord = 5,
    wFile = 6,
    wFileInfo = 7,
    wRecordDef = 8,
    wBRecordIndexList = 9,
    wNumCodeMean = 10,
    wManageCrypt = 11,
    wBinaryItemLength = 12,
    wBinaryReadDirection = 13,
    wTextColumnHeader = 14,
    wConvert = 15,
    wPut = 16,
    wFilePath = 17,
    wItemNum = 18,
    wReverse = 19,
    wRange = 20,
    wSum = 21,
    wConversionType = 22,
    wCodeReplacement = 23,
    wBasePointOfBRecordIndex = 24,
    wYes = 25,
    wNo = 26,
    wLoaded = 27,
    wStop = 28,
    wCanceled = 29,
    wEnd = 30,
    wDoYouDeleteIt = 31,
    wDoYouUpdateIt = 32,
    wTargetFileAlreadyExist = 33,
    wError = 34,
    wSystem = 35,
    wCantOpenFile = 36,
    wCantReadFile = 37,
    wCantWriteFile = 38,
    wCantSeekFilePosition = 39,
    wNotAFile = 40,
    wCanNotUse = 41,
    wMaxLengthOver = 42,
    wMemoryShort = 43,
    wNotSet = 44,
    wInconsistent = 45,
    wCount0 = 46,
    wCodeRepeated = 47,
    wErrorNoAssociation = 48,
    wErrorAssociationIncomplete = 49,
    wErrorAccessDenied = 50,
    wCheckBinaryToTextToBinary = 51, // the captions of the window's check items
    wCheckTextToBinary = 52,
    wNotACharacter = 53, // faults of text in a declared encoding
    wNotKept = 54,
    wNotExpressible = 55,
    wPreview = 56, // the caption of the window's preview item
};

constexpr int kWordCount = 57;

// Kinds of separator put in front of a word or a piece of a message.
enum SeparatorKind : int {
    sepNone = 0,
    sepLine = 1,   // "\r\n"
    sepPeriod = 2, // "."
    sepSpace = 4,  // " "
};
