#pragma once

#include <QtGlobal>

// The run-time and syntax errors of the scripts' platform: each entry is the
// name code uses, the number scripts see and the platform's text for it. The
// ErrorNumber names and the table scriptError() reads are both made from this
// one list, so a number is added here and nowhere else.
#define SORVANE_ENUMERATE_ERRORS(E) \
    E(InvalidProcedureCall, 5, "Invalid procedure call or argument") \
    E(Overflow, 6, "Overflow") \
    E(OutOfMemory, 7, "Out of memory") \
    E(SubscriptOutOfRange, 9, "Subscript out of range") \
    E(ArrayFixedOrLocked, 10, "This array is fixed or temporarily locked") \
    E(DivisionByZero, 11, "Division by zero") \
    E(TypeMismatch, 13, "Type mismatch") \
    E(OutOfStringSpace, 14, "Out of string space") \
    E(OutOfStackSpace, 28, "Out of stack space") \
    E(ProcedureNotDefined, 35, "Sub or Function not defined") \
    E(DllLoadFailed, 48, "Error in loading DLL") \
    E(InternalError, 51, "Internal error") \
    E(BadFileNameOrNumber, 52, "Bad file name or number") \
    E(FileNotFound, 53, "File not found") \
    E(BadFileMode, 54, "Bad file mode") \
    E(FileAlreadyOpen, 55, "File already open") \
    E(DeviceIoError, 57, "Device I/O error") \
    E(FileAlreadyExists, 58, "File already exists") \
    E(DiskFull, 61, "Disk full") \
    E(InputPastEndOfFile, 62, "Input past end of file") \
    E(TooManyFiles, 67, "Too many files") \
    E(DeviceUnavailable, 68, "Device unavailable") \
    E(PermissionDenied, 70, "Permission denied") \
    E(DiskNotReady, 71, "Disk not ready") \
    E(RenameAcrossDrives, 74, "Can't rename with different drive") \
    E(PathFileAccessError, 75, "Path/File access error") \
    E(PathNotFound, 76, "Path not found") \
    E(ObjectVariableNotSet, 91, "Object variable not set") \
    E(ForLoopNotInitialized, 92, "For loop not initialized") \
    E(InvalidUseOfNull, 94, "Invalid use of Null") \
    E(CannotCreateTemporaryFile, 322, "Can't create necessary temporary file") \
    E(ControlArrayElementMissing, 340, "Control array element doesn't exist") \
    E(ObjectNotAnArray, 343, "Object not an array") \
    E(ObjectRequired, 424, "Object required") \
    E(CannotCreateObject, 429, "ActiveX component can't create object") \
    E(ClassNotAutomation, 430, "Class doesn't support Automation") \
    E(AutomationNameNotFound, 432, "File name or class name not found during Automation operation") \
    E(NoSuchPropertyOrMethod, 438, "Object doesn't support this property or method") \
    E(AutomationError, 440, "Automation error") \
    E(ActionNotSupported, 445, "Object doesn't support this action") \
    E(NamedArgumentsNotSupported, 446, "Object doesn't support named arguments") \
    E(LocaleNotSupported, 447, "Object doesn't support current locale setting") \
    E(NamedArgumentNotFound, 448, "Named argument not found") \
    E(ArgumentNotOptional, 449, "Argument not optional") \
    E(WrongArgumentCount, 450, "Wrong number of arguments or invalid property assignment") \
    E(ObjectNotACollection, 451, "Object not a collection") \
    E(DllFunctionNotFound, 453, "Specified DLL function not found") \
    E(CodeResourceLockError, 455, "Code resource lock error") \
    E(KeyAlreadyExists, 457, "This key is already associated with an element of this collection") \
    E(UnsupportedAutomationType, 458, "Variable uses an Automation type not supported in VBScript") \
    E(RemoteServerUnavailable, 462, "The remote server machine does not exist or is unavailable") \
    E(InvalidPicture, 481, "Invalid picture") \
    E(VariableUndefined, 500, "Variable is undefined") \
    E(IllegalAssignment, 501, "Illegal assignment") \
    E(ObjectNotSafeForScripting, 502, "Object not safe for scripting") \
    E(ObjectNotSafeForInitializing, 503, "Object not safe for initializing") \
    E(InvalidReference, 505, "Invalid or unqualified reference") \
    E(ClassNotDefined, 506, "Class not defined") \
    E(ExceptionOccurred, 507, "An exception occurred") \
    E(CompilerOutOfMemory, 1001, "Out of memory") \
    E(SyntaxError, 1002, "Syntax error") \
    E(ExpectedColon, 1003, "Expected ':'") \
    E(ExpectedOpenParen, 1005, "Expected '('") \
    E(ExpectedCloseParen, 1006, "Expected ')'") \
    E(ExpectedCloseBracket, 1007, "Expected ']'") \
    E(ExpectedIdentifier, 1010, "Expected identifier") \
    E(ExpectedEquals, 1011, "Expected '='") \
    E(ExpectedIf, 1012, "Expected 'If'") \
    E(ExpectedTo, 1013, "Expected 'To'") \
    E(ExpectedEnd, 1014, "Expected 'End'") \
    E(ExpectedFunction, 1015, "Expected 'Function'") \
    E(ExpectedSub, 1016, "Expected 'Sub'") \
    E(ExpectedThen, 1017, "Expected 'Then'") \
    E(ExpectedWend, 1018, "Expected 'Wend'") \
    E(ExpectedLoop, 1019, "Expected 'Loop'") \
    E(ExpectedNext, 1020, "Expected 'Next'") \
    E(ExpectedCase, 1021, "Expected 'Case'") \
    E(ExpectedSelect, 1022, "Expected 'Select'") \
    E(ExpectedExpression, 1023, "Expected expression") \
    E(ExpectedStatement, 1024, "Expected statement") \
    E(ExpectedEndOfStatement, 1025, "Expected end of statement") \
    E(ExpectedIntegerConstant, 1026, "Expected integer constant") \
    E(ExpectedWhileOrUntil, 1027, "Expected 'While' or 'Until'") \
    E(ExpectedWhileUntilOrEnd, 1028, "Expected 'While', 'Until' or end of statement") \
    E(ExpectedWith, 1029, "Expected 'With'") \
    E(IdentifierTooLong, 1030, "Identifier too long") \
    E(InvalidNumber, 1031, "Invalid number") \
    E(InvalidCharacter, 1032, "Invalid character") \
    E(UnterminatedString, 1033, "Unterminated string constant") \
    E(UnterminatedComment, 1034, "Unterminated comment") \
    E(InvalidUseOfMe, 1037, "Invalid use of 'Me' keyword") \
    E(LoopWithoutDo, 1038, "'loop' without 'do'") \
    E(InvalidExit, 1039, "Invalid 'exit' statement") \
    E(InvalidForLoopVariable, 1040, "Invalid 'for' loop control variable") \
    E(NameRedefined, 1041, "Name redefined") \
    E(MustBeFirstStatement, 1042, "Must be first statement on the line") \
    E(ParenthesesCallingSub, 1044, "Cannot use parentheses when calling a Sub") \
    E(ExpectedLiteralConstant, 1045, "Expected literal constant") \
    E(ExpectedIn, 1046, "Expected 'In'") \
    E(ExpectedClass, 1047, "Expected 'Class'") \
    E(MustBeInsideClass, 1048, "Must be defined inside a Class") \
    E(ExpectedPropertyKind, 1049, "Expected Let or Set or Get in property declaration") \
    E(ExpectedProperty, 1050, "Expected 'Property'") \
    E(InconsistentPropertyArguments, 1051, "Number of arguments must be consistent across properties specification") \
    E(MultipleDefaults, 1052, "Cannot have multiple default property/method in a Class") \
    E(ClassEventWithArguments, 1053, "Class initialize or terminate do not have arguments") \
    E(PropertySetterWithoutArgument, 1054, "Property Set or Let must have at least one argument") \
    E(UnexpectedNext, 1055, "Unexpected 'Next'") \
    E(DefaultMustBePublic, 1057, "'Default' specification must also specify 'Public'") \
    E(DefaultOnlyOnPropertyGet, 1058, "'Default' specification can only be on Property Get") \
    E(BadArguments, 3001, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.") \
    E(FileCouldNotBeOpened, 3002, "File could not be opened.") \
    E(WriteToFileFailed, 3004, "Write to file failed.") \
    E(NotAllowedInContext, 3219, "Operation is not allowed in this context.") \
    E(ObjectClosed, 3704, "Operation is not allowed when the object is closed.") \
    E(ObjectOpen, 3705, "Operation is not allowed when the object is open.") \
    E(RegExpObjectExpected, 5016, "Regular Expression object expected") \
    E(RegExpSyntaxError, 5017, "Syntax error in regular expression") \
    E(UnexpectedQuantifier, 5018, "Unexpected quantifier") \
    E(RegExpExpectedCloseBracket, 5019, "Expected ']' in regular expression") \
    E(RegExpExpectedCloseParen, 5020, "Expected ')' in regular expression") \
    E(InvalidCharacterRange, 5021, "Invalid range in character set") \
    E(ElementNotFound, 32811, "Element not found") \
    E(SystemFileNotFound, -2147024894, "The system cannot find the file specified.") // 0x80070002

// Numbers the system raises only with a text of its own. They have no table
// text: Err.Raise with one of them reads "Unknown runtime error".
#define SORVANE_ENUMERATE_UNTABLED_ERRORS(E) \
    E(InvalidPropertyValue, 380) \
    E(ExceptionNotCaught, 5022)

namespace sorvane {

// An error number by name; a plain qint32 underneath, so any number a script
// raises fits too (ErrorNumber{number}).
enum class ErrorNumber : qint32 {
#define SORVANE_ERROR_NUMBER(name, number, ...) name = number,
    SORVANE_ENUMERATE_ERRORS(SORVANE_ERROR_NUMBER)
    SORVANE_ENUMERATE_UNTABLED_ERRORS(SORVANE_ERROR_NUMBER)
#undef SORVANE_ERROR_NUMBER
};

} // namespace sorvane
