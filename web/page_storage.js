// The web page's side of the game's files, run inside every start of the
// game (each flight is a fresh start of the module). The data folder /data
// lives in the browser's IndexedDB: it is read in before the game's first
// frame, and written back only after a save, in the tab's turn at the
// storage (the Web Locks API), so two tabs never claim one flight number
// and never write over each other's flights.

// Copies what one side has newer to the other: what only the browser's
// storage has, or has newer, into the game's folder (never an older copy
// over a newer one, and nothing the game holds is removed), or the game's
// newer files into the storage, where the files the game itself has removed
// since the last copy (a temporary file that got its name) go too. A file
// the storage holds that cannot be read (damaged, or written by something
// else) is passed over and named in the result; the game goes on without
// it.
var vlSyncedPaths = {};
function vlSync(fromStorage) {
  var mount = FS.lookupPath('/data').node.mount;
  function time(entry) {
    return entry && entry['timestamp'] instanceof Date ? entry['timestamp'].getTime() : -Infinity;
  }
  return new Promise(function (resolve, reject) {
    IDBFS.getLocalSet(mount, function (err, local) {
      if (err) return reject(err);
      IDBFS.getRemoteSet(mount, function (err, remote) {
        if (err) return reject(err);
        var src = fromStorage ? remote : local, dst = fromStorage ? local : remote;
        var newer = Object.keys(src.entries).filter(function (path) {
          return time(src.entries[path]) > time(dst.entries[path]);
        });
        var gone = fromStorage ? [] : Object.keys(dst.entries).filter(function (path) {
          return !local.entries[path] && vlSyncedPaths[path];
        });
        var passedOver = [];
        function done() {
          vlSyncedPaths = {};
          IDBFS.getLocalSet(mount, function (err, now) {
            if (!err) Object.keys(now.entries).forEach(function (path) { vlSyncedPaths[path] = true; });
            resolve(passedOver);
          });
        }
        if (!newer.length && !gone.length) return done();
        var transaction;
        try {
          transaction = remote.db.transaction([IDBFS.DB_STORE_NAME], 'readwrite', { durability: 'strict' });
        } catch (e) {
          return reject(e);
        }
        var store = transaction.objectStore(IDBFS.DB_STORE_NAME);
        // Folders before the files in them; files removed before their folders.
        newer.sort().forEach(function (path) {
          if (fromStorage) {
            IDBFS.loadRemoteEntry(store, path, function (err, entry) {
              if (err || !entry) return passedOver.push(path);
              IDBFS.storeLocalEntry(path, entry, function (err) { if (err) passedOver.push(path); });
            });
          } else {
            IDBFS.loadLocalEntry(path, function (err, entry) {
              if (err) return transaction.abort();
              IDBFS.storeRemoteEntry(store, path, entry, function () {});
            });
          }
        });
        gone.sort().reverse().forEach(function (path) { IDBFS.removeRemoteEntry(store, path, function () {}); });
        // The transaction is one step: all of it is stored, or none.
        transaction.oncomplete = done;
        transaction.onabort = function () {
          reject(transaction.error || new Error('the browser did not store the files'));
        };
      });
    });
  });
}

// Runs `work` in this tab's turn at the storage: the storage read in first,
// so that the flights other tabs saved are seen, and the result written back
// before the turn ends. Resolves with what `work` returned once the browser
// has stored it.
function vlStorageTurn(work) {
  function turn() {
    return vlSync(true).then(function () {
      var result = work();
      return vlSync(false).then(function () { return result; });
    });
  }
  if (typeof navigator != 'undefined' && navigator.locks) return navigator.locks.request('vantaloop-storage', turn);
  return turn();
}

function vlFlightFiles() {
  try {
    return FS.readdir('/data/recordings').filter(function (name) { return /^rec\d{4,}\.bin$/.test(name); }).sort();
  } catch (e) {
    return [];
  }
}

Module['preRun'] = Module['preRun'] || [];
Module['preRun'].push(function () {
  FS.mkdir('/data');
  FS.mount(IDBFS, {}, '/data');
  addRunDependency('vantaloop-data');
  vlSync(true).then(function (passedOver) {
    if (passedOver.length) Module.vlMessage('These stored files could not be read and are left out: ' + passedOver.join(', '));
  }, function (e) {
    Module.vlMessage('The stored flights could not be read (' + e + '): this flight starts without them.');
  }).then(function () { removeRunDependency('vantaloop-data'); });
});

Module.vlMessage = Module.vlMessage || function (text) { err(text); };

// Escape has ended a flight: it is saved in this tab's turn at the storage,
// and the page hears what became of it only once the browser has stored it.
Module.vlSaveFlight = function () {
  var frames = Module['_vl_flight_frames']();
  vlStorageTurn(function () {
    var before = vlFlightFiles();
    Module['_vl_save_flight']();
    return vlFlightFiles().filter(function (name) { return before.indexOf(name) < 0; });
  }).then(function (added) {
    if (Module.onFlightSaved) Module.onFlightSaved({ frames: frames, files: added });
  }, function (e) {
    if (Module.onFlightSaved) Module.onFlightSaved({ frames: frames, files: [], error: String(e) });
  }).then(function () { Module['_vl_end_game'](); });
};

Module.vlGameEnded = function (code) {
  if (Module.onGameEnded) Module.onGameEnded(code);
};

// A flight file from elsewhere (a download, another machine): it takes the
// next free number, as a saved flight does. Resolves with that number.
Module.addFlightFile = function (bytes) {
  return vlStorageTurn(function () {
    var temp = Module.ccall('vl_new_flight_temp', 'string', [], []);
    if (!temp) throw new Error('no new file can be made in the data folder');
    FS.writeFile(temp, bytes);
    var number = Module.ccall('vl_add_flight', 'number', ['string'], [temp]);
    if (number < 0) throw new Error(Module.ccall('vl_last_text', 'string', [], []));
    return number;
  });
};

Module.flightFiles = vlFlightFiles;
