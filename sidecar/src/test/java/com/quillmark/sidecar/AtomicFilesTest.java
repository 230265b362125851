package com.quillmark.sidecar;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.List;

/** Modes and names of files written through a temporary sibling. */
class AtomicFilesTest {

    @TempDir
    Path dir;

    private static void writeText(Path target, String text) throws Exception {
        AtomicFiles.write(target, f -> Files.writeString(f.toPath(), text));
    }

    @Test
    void aNewFileGetsTheOrdinaryModeAndAReplacedOneKeepsItsOwn() throws Exception {
        Path ordinary = Files.createFile(dir.resolve("ordinary"));
        Path fresh = dir.resolve("fresh.pdf");
        writeText(fresh, "new");
        assertEquals(Files.getPosixFilePermissions(ordinary), Files.getPosixFilePermissions(fresh));

        Path kept = dir.resolve("kept.pdf");
        writeText(kept, "old");
        Files.setPosixFilePermissions(kept, PosixFilePermissions.fromString("r--r-----"));
        writeText(kept, "replaced");
        assertEquals("replaced", Files.readString(kept));
        assertEquals("r--r-----", PosixFilePermissions.toString(
                Files.getPosixFilePermissions(kept)));
    }

    @Test
    void aNameNearTheLimitWorksAndAFailedWriteLeavesNothingBehind() throws Exception {
        Path longName = dir.resolve("r".repeat(240) + ".pdf");
        writeText(longName, "long");
        assertEquals("long", Files.readString(longName));

        assertThrows(IOException.class, () -> AtomicFiles.write(longName, f -> {
            throw new IOException("export failed");
        }));
        assertEquals("long", Files.readString(longName));
        try (var listing = Files.list(dir)) {
            assertEquals(List.of(longName), listing.toList());
        }
    }

    @Test
    void aFolderThatCannotBeWrittenIsNamedWithTheFile() throws Exception {
        // paths through a plain file: no folder there can be made, even by the superuser
        Path file = Files.createFile(dir.resolve("plain"));
        for (String[] folder : new String[][] {{"", "a file stands where it should be"},
                {"/below", "Not a directory"}}) {
            Path target = Path.of(file + folder[0], "Invoice.jasper");
            RequestException e = assertThrows(RequestException.class,
                    () -> writeText(target, "x"));
            assertEquals("Cannot write \"" + target + "\": its folder cannot be written ("
                    + folder[1] + ").", e.getMessage());
            assertTrue(e.getCause() instanceof java.nio.file.FileSystemException, e.toString());
        }
    }
}
