'''systemd's manager as the service control backend sees it.

Debian's dbusmock template for systemd, extended with what the backend reads and does: Subscribe,
LoadUnit, the units' Job and FreezerState, the service interface with its time-outs, job objects
with their type, jobs that take time or never end, a manager that refuses, and systemd's
NoSuchUnit error for a unit it does not know.
'''

import dbus
from gi.repository import GLib

from dbusmock import MOCK_IFACE, mockobject
from dbusmock.templates import systemd as debian
from dbusmock.templates.systemd import *  # noqa: F401,F403 -- the names and methods it has

SERVICE_IFACE = debian.BUS_PREFIX + '.Service'
JOB_IFACE = debian.BUS_PREFIX + '.Job'
NO_SUCH_UNIT = debian.BUS_PREFIX + '.NoSuchUnit'
NO_JOB = dbus.Struct((dbus.UInt32(0), dbus.ObjectPath('/')), signature='uo')


def load(mock, parameters):
    debian.load(mock, parameters)
    mock.installed = set()
    mock.jobs = {}
    mock.refusal = ''


def unit_of(mock, name):
    return mockobject.objects[mock.units[str(name)]]


def set_unit(mock, name, properties):
    # The mock's UpdateProperties cannot wrap a struct such as Job; the backend polls anyway.
    unit_of(mock, name).props[debian.UNIT_IFACE].update(properties)


def add_unit(mock, name, load_state):
    path = f'{debian.PATH_PREFIX}/unit/{debian.escape_unit_name(name)}'
    mock.units[str(name)] = path
    mock.AddObject(path, debian.UNIT_IFACE, {
        'Id': name,
        'Names': [name],
        'LoadState': load_state,
        'ActiveState': 'inactive',
        'FreezerState': 'running',
        'Job': NO_JOB,
    }, [])
    mockobject.objects[path].AddProperties(SERVICE_IFACE, {
        'TimeoutStartUSec': dbus.UInt64(90000000),
        'TimeoutStopUSec': dbus.UInt64(90000000),
    })
    mock.jobs.setdefault(str(name), (200, 'active', 'inactive'))
    return path


def loaded(mock, name):
    name = str(name)
    if name not in mock.units:
        add_unit(mock, name, 'loaded' if name in mock.installed else 'not-found')
    return mock.units[name]


def add_job(mock, name, job_type):
    job_id = mock.next_job_id
    mock.next_job_id += 1
    path = f'{debian.PATH_PREFIX}/job/{job_id}'
    mock.AddObject(path, JOB_IFACE, {
        'Id': dbus.UInt32(job_id),
        'JobType': job_type,
        'State': 'running',
        'Unit': dbus.Struct((name, dbus.ObjectPath(mock.units[name])), signature='so'),
    }, [])
    set_unit(mock, name, {
        'Job': dbus.Struct((dbus.UInt32(job_id), dbus.ObjectPath(path)), signature='uo')})
    return job_id, path


def finish_job(mock, name, job_id, path, end_state):
    set_unit(mock, name, {'ActiveState': end_state, 'Job': NO_JOB})
    mock.RemoveObject(path)
    mock.EmitSignal(debian.MAIN_IFACE, 'JobRemoved', 'uoss', [job_id, path, name, 'done'])
    return False


def queue(mock, name, job_type, passing_state):
    if mock.refusal:
        raise dbus.exceptions.DBusException('Access denied', name=mock.refusal)
    name = str(name)
    loaded(mock, name)
    unit = unit_of(mock, name)
    if unit.Get(debian.UNIT_IFACE, 'LoadState') == 'not-found':
        raise dbus.exceptions.DBusException(f'Unit {name} not found.', name=NO_SUCH_UNIT)
    job_id, path = add_job(mock, name, job_type)
    set_unit(mock, name, {'ActiveState': passing_state})
    milliseconds, started, stopped = mock.jobs[name]
    end_state = started if job_type == 'start' else stopped
    if end_state:
        GLib.timeout_add(milliseconds,
                         lambda: finish_job(mock, name, job_id, path, end_state))
    return path


@dbus.service.method(debian.MAIN_IFACE, in_signature='', out_signature='')
def Subscribe(self):
    pass


@dbus.service.method(debian.MAIN_IFACE, in_signature='s', out_signature='o')
def GetUnit(self, name):
    if str(name) not in self.units:
        raise dbus.exceptions.DBusException(f'Unit {name} not loaded.', name=NO_SUCH_UNIT)
    return self.units[str(name)]


@dbus.service.method(debian.MAIN_IFACE, in_signature='s', out_signature='o')
def LoadUnit(self, name):
    return loaded(self, name)


@dbus.service.method(debian.MAIN_IFACE, in_signature='ss', out_signature='o')
def StartUnit(self, name, _mode):
    return queue(self, name, 'start', 'activating')


@dbus.service.method(debian.MAIN_IFACE, in_signature='ss', out_signature='o')
def StopUnit(self, name, _mode):
    return queue(self, name, 'stop', 'deactivating')


@dbus.service.method(MOCK_IFACE, in_signature='s')
def AddMockUnit(self, name):
    add_unit(self, name, 'loaded')


@dbus.service.method(MOCK_IFACE, in_signature='s')
def AddMockInstalledUnit(self, name):
    '''A unit on disk that LoadUnit loads; GetUnit does not know it before.'''
    self.installed.add(str(name))


@dbus.service.method(MOCK_IFACE, in_signature='suss')
def SetMockJobs(self, name, milliseconds, started, stopped):
    '''How long the unit's jobs take and the state they end in; an empty state never ends.'''
    self.jobs[str(name)] = (int(milliseconds), str(started), str(stopped))


@dbus.service.method(MOCK_IFACE, in_signature='ss')
def AddMockJob(self, name, job_type):
    '''A job of that type queued for the unit that never ends.'''
    add_job(self, str(name), str(job_type))


@dbus.service.method(MOCK_IFACE, in_signature='s')
def SetMockRefusal(self, error_name):
    '''Start and stop requests fail with that error; empty accepts them again.'''
    self.refusal = str(error_name)
