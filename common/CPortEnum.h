// Walks the serial (COM) ports present on the machine, one at a time.
#pragma once

class CPortEnum {
public:
    // Size of the port-name buffer Next needs: names are at most 49 characters.
    static constexpr int PortNameSize = 50;

    // Takes a snapshot of the present devices of the Ports class; ports that
    // appear later are seen only by a new enumerator.
    CPortEnum();
    ~CPortEnum();

    CPortEnum(const CPortEnum&) = delete;
    CPortEnum& operator=(const CPortEnum&) = delete;

    // Fills portName (at least PortNameSize bytes) with the next COM port of
    // the snapshot. description and instanceId are optional (null or size 0
    // or less to omit) and are always left zero-terminated within their size.
    // Returns false at the end of the snapshot, for every later call, and
    // when portName is null.
    bool Next(char* portName, char* description, int descriptionSize, char* instanceId,
              int instanceIdSize);

private:
    struct Record;
    Record* m_pRecord;
};
