#include "files/XTextReader.h"

namespace {

inline bool IsLineBreak(char byte) {
  return byte == '\n' || byte == '\r';
}

}  // namespace

void XTextReader::Reset() {
  mStatus = kErrNoInstance;
  mPosition = 0;
  mData = nullptr;
  mSize = 0;
}

void XTextReader::Refill() {
  mStatus = kErrEndOfText;
}

void XTextReader::SetText(const UtilStr& text) {
  mSource.CopyFrom(text);
  mData = mSource.mText;
  mSize = mSource.mLength;
  mPosition = 0;
  mStatus = kOk;
}

void XTextReader::NextLine(const char** start, int* length) {
  const char* line = nullptr;
  int lineLength = 0;
  while (mStatus == kOk) {
    while (mPosition < mSize && IsLineBreak(mData[mPosition])) ++mPosition;
    if (mPosition >= mSize) {
      mPosition = mSize;
      Refill();
      continue;
    }
    int end = mPosition + 1;
    while (end < mSize && !IsLineBreak(mData[end])) ++end;
    if (end < mSize) {
      line = mData + mPosition;
      lineLength = end - mPosition;
      mPosition = end + 1;
    } else {
      mLineBuffer.Assign(mData + mPosition, mSize - mPosition);
      mPosition = mSize;
      Refill();
      line = mLineBuffer.mText;
      lineLength = mLineBuffer.mLength;
    }
    break;
  }
  if (start) *start = line;
  if (length) *length = lineLength;
}

int32_t XTextReader::ReadLine(UtilStr* destination) {
  const char* line;
  int length;
  NextLine(&line, &length);
  if (destination) destination->Assign(line, length);
  return mStatus;
}
